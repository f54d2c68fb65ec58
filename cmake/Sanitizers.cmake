# Address and undefined-behaviour sanitizers for the whole build. Any report fails the run:
# undefined behaviour does not recover, and leaks are reported at exit.
if(OSKEL_SANITIZE)
  set(OSKEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                            -fno-omit-frame-pointer)
  add_compile_options(${OSKEL_SANITIZER_FLAGS})
  add_link_options(${OSKEL_SANITIZER_FLAGS})
endif()

# With libFuzzer every object carries the coverage hooks; fuzz/CMakeLists.txt links the
# fuzzer's own main into the fuzz targets only.
if(OSKEL_LIBFUZZER)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# The thread sanitizer, for the threaded tests (scripts/test runs them in a build of their own).
if(OSKEL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
