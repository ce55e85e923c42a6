# Under any name but exactly VRL or CRV, letter case included, the program
# writes no start-up log line, but still creates C:\Virelle\Startup\.

machine_with_practice_on_c
for name in VRL_DPD134.EXE vrl.exe; do
  note "--- as $name"
  rm -rf "$(host_path 'C:\Virelle\Startup')" "$(host_path 'C:\Virelle\Startup.LOG')"
  install_product "C:\\Virelle\\$name"
  run_program "C:\\Virelle\\$name"
  wait_launched_programs  # no copy it launched may make the folder in the next round
  expect_eq "$LAST_EXIT" 0 "exit code"
  expect_no_file 'C:\Virelle\Startup.LOG'
  expect_folder 'C:\Virelle\Startup'
  expect_eq "$(list_folder 'C:\Virelle\Startup' | wc -l)" 0 "number of files under Startup\\"
  rm -f "$(host_path "C:\\Virelle\\$name")"
done
