// Suppressions the sanitizers read at start-up, linked into every test program so that they hold
// however the tests are started (visible, so the sanitizer runtime finds them). Each covers
// something inside a system library, not ours.
extern "C" {

// fontconfig keeps a few hundred bytes of its configuration for the life of the process
// (FcInit alone reports 288 bytes with fontconfig 2.14); a library must not call FcFini on the
// host's behalf, so this is not ours to free.
__attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// glibc's iconv loads and unloads its charset modules with dlopen/dlclose inside iconv_open and
// iconv_close. The dynamic loader serialises that with a lock ThreadSanitizer cannot see, so it
// reports the loader's own bookkeeping as races.
__attribute__((visibility("default"))) const char* __tsan_default_suppressions() {
  return "race:ld-linux-x86-64.so.2\n"
         "race:_dl_close_worker\n"
         "race:_dl_new_object\n"
         "race:_dl_check_map_versions\n";
}

}  // extern "C"
