# Files already in the data folder are left as they are: one under its name
# in capitals, one of another size and older. Only the missing four are
# written, and no second file appears beside the one in capitals.

source "$E2E_ROOT/tests/e2e/installer_helpers.sh"

machine_with_practice_on_c
updates_already_launched
make_folder 'C:\Virelle\Data'
printf 'an older fee table' >"$(host_path 'C:\Virelle\Data')/DPD_F_34.DB"
head -c 100000 /dev/zero >"$(host_path 'C:\Virelle\Data')/Dpd_c_34.PX"
touch -d '2011-03-14 10:00' "$(host_path 'C:\Virelle\Data')"/*
give_to_case "$(host_path 'C:\Virelle\Data')"
before=$(cd "$(host_path 'C:\Virelle\Data')" && md5sum DPD_F_34.DB Dpd_c_34.PX && stat -c '%n %Y' DPD_F_34.DB Dpd_c_34.PX)

install_product 'C:\Virelle\VRL_DPD134.EXE'
run_program 'C:\Virelle\VRL_DPD134.EXE'

expect_eq "$LAST_EXIT" 0 "exit code"
expect_data_files DPD_F_34.DB Dpd_c_34.DB Dpd_c_34.PX Dpd_f_34.PX Dpd_f_34.XG0 Dpd_f_34.YG0
expect_carried_files 'C:\Virelle\Data' Dpd_c_34.DB Dpd_f_34.PX Dpd_f_34.XG0 Dpd_f_34.YG0
after=$(cd "$(host_path 'C:\Virelle\Data')" && md5sum DPD_F_34.DB Dpd_c_34.PX && stat -c '%n %Y' DPD_F_34.DB Dpd_c_34.PX)
expect_eq "$after" "$before" "content and time of the present files"
