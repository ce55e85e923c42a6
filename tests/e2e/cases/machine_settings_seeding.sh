# The machine settings file C:\Virelle\VRL.INI is copied from VRLPRC.INI in
# the Windows folder when it is missing, and left alone when it exists.

put_text 'C:\windows\VRLPRC.INI' <<'INI'
[Virelle]
WD=C:
[Seed]
Origin=windows folder
INI
make_folder 'C:\Virelle'
install_product 'C:\Virelle\VRL_DPD134.EXE'

note "--- VRL.INI missing"
run_program 'C:\Virelle\VRL_DPD134.EXE'
wait_launched_programs
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Seed Origin)" "windows folder" "[Seed] Origin of VRL.INI"

note "--- VRL.INI present"
put_text 'C:\Virelle\VRL.INI' <<'INI'
[Virelle]
WD=C:
[Seed]
Origin=machine
INI
run_program 'C:\Virelle\VRL_DPD134.EXE'
wait_launched_programs
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(ini_value 'C:\Virelle\VRL.INI' Seed Origin)" "machine" "[Seed] Origin of VRL.INI"
