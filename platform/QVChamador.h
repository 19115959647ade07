// Who makes the call the current thread serves: this process itself (an
// in-process client), or a client of the local server, told apart by how it
// reached the server. The server's transport sets it around each call it
// dispatches; everything else sees the process as its own caller.
#pragma once

#include <sys/types.h>

namespace zenta {

enum class EOrigemChamador {
    Processo,        // an in-process client: the process's own user
    UsuarioProprio,  // the local socket, from the server's own user
    OutroUsuario,    // the local socket, from a user the application permits
    Tcp,             // another machine, over TCP
};

struct Chamador {
    EOrigemChamador origem = EOrigemChamador::Processo;
    uid_t uid = static_cast<uid_t>(-1);  // socket peers only
};

namespace detalhe {
inline thread_local Chamador t_chamador{};
}

// The caller of the call this thread serves.
inline Chamador ChamadorAtual() { return detalhe::t_chamador; }

// Whether the caller acts with the rights of the process's own user.
inline bool ChamadorEhUsuarioProprio(const Chamador& chamador) {
    return chamador.origem == EOrigemChamador::Processo || chamador.origem == EOrigemChamador::UsuarioProprio;
}

// Makes `chamador` the caller of this thread for the scope's length.
class EscopoChamador {
public:
    explicit EscopoChamador(const Chamador& chamador) : m_anterior(detalhe::t_chamador) {
        detalhe::t_chamador = chamador;
    }
    ~EscopoChamador() { detalhe::t_chamador = m_anterior; }
    EscopoChamador(const EscopoChamador&) = delete;
    EscopoChamador& operator=(const EscopoChamador&) = delete;

private:
    Chamador m_anterior;
};

}  // namespace zenta
