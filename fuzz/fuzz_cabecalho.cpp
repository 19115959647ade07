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
// The first input byte chooses how much of a sound header the rest is given
// (zenta::fuzz::ComCabecalho's modes 0-3).
#include "fuzz/AmbienteFuzz.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"

using namespace zenta;

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

    const std::string conteudo = zenta::fuzz::ComCabecalho(
        dados[0] % 4u, std::string(reinterpret_cast<const char*>(dados + 1), tamanho - 1), NOME, true);
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
