# vellox_windows_text(SOURCE NAME): writes the text file SOURCE as NAME in
# the current build folder, as Notepad reads text: lines ended by CR LF,
# and its UTF-8 marked by the byte order mark (Notepad before Windows 10
# reads unmarked text in the ANSI code page). Written again when SOURCE
# changes.
function(vellox_windows_text source name)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 byte_order_mark)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name} "${byte_order_mark}${text}")
endfunction()
