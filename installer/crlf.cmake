# Copies IN to OUT with Windows line ends, for Notepad; text that is not
# plain ASCII (UTF-8) gets a byte-order mark, so that every Notepad reads it
# as UTF-8.
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
if(NOT text MATCHES "^[\t\r\n -~]*$")
  string(ASCII 239 187 191 bom)
  set(text "${bom}${text}")
endif()
file(WRITE ${OUT} "${text}")
