# The PPD as installed: its *APDialogExtension names the bundle at its
# installed place (PLACE) instead of the place it was written for.
#   cmake -DIN=<ppd> -DOUT=<ppd> -DNAME=<bundle folder name> -DPLACE=<path> -P InstalledPPD.cmake
file(READ "${IN}" text)
string(REGEX REPLACE "\n\\*APDialogExtension: \"[^\"\n]*/${NAME}\"" "\n*APDialogExtension: \"${PLACE}\""
       text "${text}")
file(WRITE "${OUT}" "${text}")
