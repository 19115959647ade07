#include "platform/rpc/QVQuadros.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include <google/protobuf/message_lite.h>

namespace zenta::rpc::quadros {
namespace {

void GravaU32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t LeU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

bool Espera(int fd, int esperaMs) {
    if (esperaMs < 0) return true;
    pollfd p{fd, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&p, 1, esperaMs);
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

}  // namespace

bool EnviaTudo(int fd, std::string_view dados) {
    while (!dados.empty()) {
        const ssize_t n = ::send(fd, dados.data(), dados.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        dados.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool RecebeTudo(int fd, char* destino, std::size_t n, int esperaMs) {
    while (n > 0) {
        if (!Espera(fd, esperaMs)) return false;
        const ssize_t r = ::recv(fd, destino, n, 0);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        destino += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

bool EnviaQuadro(int fd, Tipo tipo, const google::protobuf::MessageLite& mensagem, Contagem* contagem) {
    const std::size_t tamanho = mensagem.ByteSizeLong();
    if (tamanho > UINT32_MAX) return false;
    std::string quadro(sizeof(CabecalhoQuadro) + tamanho, '\0');
    GravaU32(quadro.data(), static_cast<std::uint32_t>(tamanho));
    quadro[4] = static_cast<char>(tipo);
    mensagem.SerializeWithCachedSizesToArray(reinterpret_cast<std::uint8_t*>(quadro.data()) + sizeof(CabecalhoQuadro));
    if (!EnviaTudo(fd, quadro)) return false;
    if (contagem != nullptr) contagem->enviados += quadro.size();
    return true;
}

bool RecebeQuadro(int fd, Tipo* tipo, std::string& corpo, std::uint32_t maximo, int esperaMs, Contagem* contagem) {
    char cabecalho[sizeof(CabecalhoQuadro)];
    if (!RecebeTudo(fd, cabecalho, sizeof cabecalho, esperaMs)) return false;
    const std::uint32_t tamanho = LeU32(cabecalho);
    if (tamanho > maximo || cabecalho[5] != 0 || cabecalho[6] != 0 || cabecalho[7] != 0) return false;
    *tipo = static_cast<Tipo>(static_cast<unsigned char>(cabecalho[4]));
    // A peer that claims much and sends little gets no more memory than it
    // sent, give or take one step.
    constexpr std::size_t kPasso = 1 << 20;
    corpo.clear();
    std::size_t lidos = 0;
    while (lidos < tamanho) {
        const std::size_t proximo = std::min<std::size_t>(tamanho, std::max(lidos * 2, kPasso));
        corpo.resize(proximo);
        if (!RecebeTudo(fd, corpo.data() + lidos, proximo - lidos, esperaMs)) return false;
        lidos = proximo;
    }
    if (contagem != nullptr) contagem->recebidos += sizeof cabecalho + tamanho;
    return true;
}

}  // namespace zenta::rpc::quadros
