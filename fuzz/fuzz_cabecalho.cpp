// Header validation meets whatever bytes a file holds: for any content,
// opening a typed file must end with a code, never a crash, and must agree
// with the independent format check (zenta-dbcheck's library):
// - a file with a header prefix is refused with exactly the code of the
//   check's first named finding, and a refused file is left untouched;
// - a file without one gains a 240-byte header in front of its bytes, but an
//   empty file (one that lost its header) is refused like the check refuses it;
// - a file that loads holds a sound header afterwards, every record reads
//   back as it is on disk, and closing leaves the header sound.
//
// The first input byte chooses how much of a sound header the rest is given,
// so that the fuzzer gets past the checks it cannot forge (the CRCs):
//   0  the bytes as they are;
//   1  a sound version-1 prefix over bytes 0-23;
//   2  that, and the header CRC at 232 made to match bytes 24-231;
//   3  that, with the size, data length and name fields right as well.
#include <dlfcn.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz/AmbienteFuzz.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVArquivoSO.h"
#include "core/qvdatabase/QVFile.h"
#include "diagnostics/qvmens/QVMens.h"
#include "support/ZentaHomeTemporario.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"
#include "values/QVCrc64.h"

namespace {

namespace fs = std::filesystem;
namespace dbc = zenta::dbcheck;

constexpr const char* NOME = "GECABEC.dat";

#pragma pack(push, 1)
struct REG_FUZZ_CABECALHO {
    ULONG lCodigo;
    ULONG lValor;
    BYTE cDados[8];
};
#pragma pack(pop)
static_assert(sizeof(REG_FUZZ_CABECALHO) == 16);

using zenta::fuzz::Exige;

template <class V>
void Poe(std::string& bytes, std::size_t offset, V valor) {
    std::memcpy(bytes.data() + offset, &valor, sizeof valor);
}

std::string Prepara(uint8_t modo, std::string bytes) {
    if (modo == 0) return bytes;
    if (bytes.size() < 24) bytes.resize(24, '\0');
    Poe<uint16_t>(bytes, 0, 1);
    std::memset(bytes.data() + 2, 0, 6);
    Poe(bytes, 8, zenta::QVCrc64(bytes.data(), 2));
    Poe(bytes, 16, zenta::QVCrc64(bytes.data() + 8, 8));
    if (modo == 1) return bytes;
    if (bytes.size() < 240) bytes.resize(240, '\0');
    if (modo == 3) {
        Poe<uint64_t>(bytes, 64, 216);
        Poe<uint64_t>(bytes, 72, bytes.size() - 240);
        std::memset(bytes.data() + 112, 0, 24);
        std::memcpy(bytes.data() + 112, NOME, std::strlen(NOME));
    }
    Poe(bytes, 232, zenta::QVCrc64(bytes.data() + 24, 208));
    return bytes;
}

dbc::ResultadoVerificacao Verifica(const std::string& bytes) {
    dbc::OpcoesVerificacao opcoes;
    opcoes.tamanhoRegistro = sizeof(REG_FUZZ_CABECALHO);
    dbc::FonteMemoria fonte(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
    return dbc::Verifica(fonte, NOME, opcoes);
}

HRESULT PrimeiroCodigo(const dbc::ResultadoVerificacao& r) {
    for (const dbc::Achado& a : r.achados)
        if (a.codigo != 0) return static_cast<HRESULT>(a.codigo);
    return S_OK;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const fs::path caminho = zenta::fuzz::DiretorioLimpo() / NOME;

    const std::string conteudo =
        Prepara(static_cast<uint8_t>(dados[0] % 4), std::string(reinterpret_cast<const char*>(dados + 1), tamanho - 1));
    zenta::fuzz::EscreveArquivo(caminho, conteudo);
    const dbc::ResultadoVerificacao antes = Verifica(conteudo);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    CQVFile<REG_FUZZ_CABECALHO> arq(NOME, &db);
    const HRESULT hr = arq.Inicializa("EMP", 1, 1);
    const std::string depois = zenta::fuzz::LeArquivo(caminho);

    if (conteudo.empty()) {
        // An empty file has lost its header: refused as the check finds it, and left alone.
        Exige(hr == PrimeiroCodigo(antes) && FAILED(hr) && depois.empty());
    } else if (antes.possuiCabecalho) {
        // A header the engine validates: the same verdict as the check's.
        if (!antes.Tem(dbc::TipoAchado::cabecalhoTruncado)) Exige(hr == PrimeiroCodigo(antes));
        if (FAILED(hr)) Exige(depois == conteudo);
    } else {
        // No header by the prefix rule: one is put in front of the bytes.
        Exige(depois.size() == conteudo.size() + 240 && depois.compare(240, std::string::npos, conteudo) == 0);
        Exige(hr == (conteudo.size() % sizeof(REG_FUZZ_CABECALHO) == 0 ? S_OK : E_QVCR_ARQUIVO_NAO_EH_MOD_ESTRUTURA));
    }
    if (FAILED(hr)) {
        arq.Finaliza();
        return 0;
    }

    // Loaded: the header is sound and the records are the bytes behind it.
    const dbc::ResultadoVerificacao carregado = Verifica(depois);
    Exige(carregado.possuiCabecalho && PrimeiroCodigo(carregado) == S_OK);
    const ULONGLONG quantidade = arq.GetQtdRegistros();
    Exige(quantidade == carregado.quantidade);
    for (ULONGLONG p = 1; p <= quantidade; ++p) {
        REG_FUZZ_CABECALHO reg{};
        Exige(SUCCEEDED(arq.Le(p, &reg)));
        Exige(std::memcmp(&reg, depois.data() + 240 + (p - 1) * sizeof reg, sizeof reg) == 0);
    }
    REG_FUZZ_CABECALHO alem{};
    alem.lCodigo = 1;
    Exige(arq.Le(quantidade + 1, &alem) == E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO && alem.lCodigo == 0);
    arq.Finaliza();

    // Closing brought the header up to date and kept it sound.
    const dbc::ResultadoVerificacao fechado = Verifica(zenta::fuzz::LeArquivo(caminho));
    Exige(fechado.possuiCabecalho && PrimeiroCodigo(fechado) == S_OK && fechado.quantidade == quantidade);
    return 0;
}
