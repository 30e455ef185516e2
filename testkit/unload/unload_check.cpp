// Loads a library, calls one of its exports with a text argument (with one of the X11 bench's
// processes stopped during the call, if asked), unloads the library, and lives on for a while:
// a library that left a thread waiting on a peer must stay mapped until that thread is done,
// or the thread wakes in unmapped code and the process dies.
//   unload_check LIBRARY EXPORT ARGUMENT SECONDS [BENCH_PROCESS]
// BENCH_PROCESS names a pid file in $X11_BENCH_DIR ("xvfb", "wm"): that process group is
// stopped for the call and continued after the unload. Exit 0 when the process outlived the wait.

#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The pid of the bench's `which` process; the bench's display becomes this process's.
pid_t benchProcess(const char* which) {
    const char* bench = std::getenv("X11_BENCH_DIR");
    if (bench == nullptr) {
        return 0;
    }
    std::string display;
    std::ifstream(std::string(bench) + "/display") >> display;
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    pid_t pid = 0;
    std::ifstream(std::string(bench) + "/" + which + ".pid") >> pid;
    return pid;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr,
                     "usage: unload_check LIBRARY EXPORT ARGUMENT SECONDS [BENCH_PROCESS]\n");
        return 2;
    }
    void* library = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", argv[1], ::dlerror());
        return 2;
    }
    using Export = void* (*)(const char*);  // the result is not looked at
    const auto call = reinterpret_cast<Export>(::dlsym(library, argv[2]));
    if (call == nullptr) {
        std::fprintf(stderr, "no export %s\n", argv[2]);
        return 2;
    }
    const pid_t stopped = argc == 6 ? benchProcess(argv[5]) : 0;
    if (argc == 6 && (stopped <= 0 || ::kill(-stopped, SIGSTOP) != 0)) {
        std::fprintf(stderr, "cannot stop the bench's %s\n", argv[5]);
        return 2;
    }
    (void)call(argv[3]);
    ::dlclose(library);
    if (stopped > 0) {
        ::kill(-stopped, SIGCONT);  // what waited on it wakes now
    }
    ::sleep(static_cast<unsigned>(std::atoi(argv[4])));
    std::printf("outlived the unload\n");
    return 0;
}
