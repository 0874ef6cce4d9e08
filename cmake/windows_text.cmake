# cmake -DIN=<UTF-8 text> -DOUT=<file> -P windows_text.cmake
# Writes the text as Windows' Notepad of every version shows it: a UTF-8 byte-order mark
# and CR LF line ends.
file(READ "${IN}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 mark)
file(WRITE "${OUT}" "${mark}${text}")
