# With Wine reporting Windows 8 (NT 6.2) the program shows the box
# "Unsupported operating system" with the text "Virelle" and ends with exit
# code 0 when it is answered: the start-up log of a main program stops after
# 0.01 and the machine settings file is not seeded.

set_windows_version win8
make_folder 'C:\Virelle'
put_text 'C:\windows\VRLPRC.INI' <<'INI'
[Virelle]
WD=C:
INI
install_product 'C:\Virelle\VRL.EXE'
start_program 'C:\Virelle\VRL.EXE'
if wait_window 'Unsupported operating system'; then
  screenshot unsupported-system-box "$WINDOW_ID"
  window_text 'Unsupported operating system'
  printf '%s\n' "$WINDOW_TEXT" >"$E2E_ARTIFACTS/unsupported-system-box.txt"
  # 65535 is the message text's control in a system message box.
  expect_line "$WINDOW_TEXT" $'child\tclass=Static\tid=65535\ttext=Virelle' "the box"
  expect_line "$WINDOW_TEXT" $'child\tclass=Button\tid=1\ttext=OK' "the box"
  expect_eq "$(grep -c $'^child\tclass=Button' <<<"$WINDOW_TEXT")" 1 "number of buttons"
  gui_keys "$WINDOW_ID" Return
fi
wait_program
expect_eq "$LAST_EXIT" 0 "exit code"
expect_eq "$(startup_messages 'C:\Virelle\Startup.LOG' | paste -sd ' ')" "START 0.01" "start-up log"
expect_no_file 'C:\Virelle\VRL.INI'
