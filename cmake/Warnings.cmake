# One warning set for every target of the project.
add_library(oskel_warnings INTERFACE)
target_compile_options(oskel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
