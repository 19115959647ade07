// A library loaded ahead of the program (LD_PRELOAD) whose pwrite raises an
// access violation once: the first pwrite that finds the file named by
// ZENTA_FALHA_PWRITE removes it and faults, inside the write, on the thread
// that writes. Every other pwrite goes to the system's own.
#include <dlfcn.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using FnPwrite = ssize_t (*)(int, const void*, size_t, off_t);

FnPwrite Original(const char* nome) { return reinterpret_cast<FnPwrite>(::dlsym(RTLD_NEXT, nome)); }

// Removing the marker decides which write faults, also between threads.
void TalvezFalhe() {
    const char* marca = std::getenv("ZENTA_FALHA_PWRITE");
    if (marca != nullptr && *marca != '\0' && ::unlink(marca) == 0) ::raise(SIGSEGV);
}

}  // namespace

extern "C" {

ssize_t pwrite(int fd, const void* dados, size_t tamanho, off_t posicao) {
    static const FnPwrite original = Original("pwrite");
    TalvezFalhe();
    return original(fd, dados, tamanho, posicao);
}

ssize_t pwrite64(int fd, const void* dados, size_t tamanho, off_t posicao) {
    static const FnPwrite original = Original("pwrite64");
    TalvezFalhe();
    return original(fd, dados, tamanho, posicao);
}

}  // extern "C"
