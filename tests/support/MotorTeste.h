// Shared pieces of the record-file engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVDataBaseDefs.h"
#include "core/qvdatabase/QVTextFile.h"
#include "support/ZentaHomeTemporario.h"

namespace zenta::teste {

// Retries without pauses: `tentativas` attempts per open and per write.
inline zenta::PoliticaTentativas PoliticaRapida(unsigned tentativasAbertura = 3, unsigned tentativasGravacao = 3) {
    zenta::PoliticaTentativas p;
    p.tentativasAbertura = tentativasAbertura;
    p.tentativasGravacao = tentativasGravacao;
    p.pausa = std::chrono::milliseconds(0);
    return p;
}

// The header at the start of a file's bytes (zero where they are short).
inline REG_QVDATABASE_CABECALHO_V1 CabecalhoDe(const std::string& bytes) {
    REG_QVDATABASE_CABECALHO_V1 c{};
    std::memcpy(&c, bytes.data(), std::min(bytes.size(), sizeof c));
    return c;
}

// The engine module's data directory of company "EMP".
inline std::filesystem::path DadosGE(const ZentaHomeTemporario& home) { return home.Raiz() / "data" / "EMP" / "GE"; }

// The 16-byte record of the engine's tests: a code, a group (or a member's
// key) and a short name.
#pragma pack(push, 1)
struct REG_TESTE {
    ULONG lCodigo;
    ULONG lGrupo;
    char szNome[8];
};
#pragma pack(pop)
static_assert(sizeof(REG_TESTE) == 16);

inline REG_TESTE Reg(ULONG codigo, ULONG grupo = 0, std::string_view nome = {}) {
    REG_TESTE r{};
    r.lCodigo = codigo;
    r.lGrupo = grupo;
    if (!nome.empty()) std::memcpy(r.szNome, nome.data(), std::min(nome.size(), sizeof r.szNome - 1));
    return r;
}
inline std::string BytesDe(const REG_TESTE& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }
inline ULONGLONG ChaveCodigo(const REG_TESTE& r, UINT) { return r.lCodigo; }
inline ULONGLONG ChaveGrupo(const REG_TESTE& r, UINT) { return r.lGrupo; }

// The codes of a typed file's records, in position order.
template <class Arquivo>
std::vector<ULONG> CodigosDe(const Arquivo& arq) {
    std::vector<ULONG> v;
    for (ULONGLONG p = 1; p <= arq.GetQtdRegistros(); ++p) {
        REG_TESTE r{};
        EXPECT_EQ(arq.Le(p, &r), S_OK);
        v.push_back(r.lCodigo);
    }
    return v;
}

// The texts of a text file, in position order.
inline std::vector<std::string> TextosDe(const CQVTextFile& arq) {
    std::vector<std::string> v;
    for (ULONGLONG p = 1; p <= arq.GetQtdRegistros(); ++p) {
        std::string s;
        EXPECT_EQ(arq.Le(p, s), S_OK);
        v.push_back(s);
    }
    return v;
}

}  // namespace zenta::teste
