// A typed file loads whatever bytes are on disk: loading must either fail
// with a code or give records that are exactly the bytes behind the header,
// each readable at its position and found through an index on its key; an
// append then takes the next position and survives a reload, and the file
// stays sound for the independent format check. Never a crash, never a read
// outside the file's bytes.
//
// The first input byte chooses how the rest is presented:
//   0  the file as it is, headers managed (a headerless file gains a header);
//   1  the bare records in a container without headers;
//   2  the records behind a sound 240-byte header.
#include <algorithm>
#include <vector>

#include "fuzz/AmbienteFuzz.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFile.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"

using namespace zenta;

namespace {

namespace fs = std::filesystem;
namespace dbc = zenta::dbcheck;

constexpr const char* NOME = "GETIPADO.dat";

#pragma pack(push, 1)
struct REG_FUZZ_TIPADO {
    ULONG lCodigo;
    USHORT usGrupo;
    BYTE cMarca;
    char szNome[5];
};
#pragma pack(pop)
static_assert(sizeof(REG_FUZZ_TIPADO) == 12, "a record size that is not a power of two");

ULONGLONG ChaveCodigo(const REG_FUZZ_TIPADO& r, UINT) { return r.lCodigo; }

using zenta::fuzz::Exige;

// A sound version-1 header for `tamanhoDados` bytes of data, built from the
// format (not by the engine).
std::string Cabecalho(std::size_t tamanhoDados) {
    dbc::CabecalhoV1 c{};
    c.versao = 1;
    c.crcVersao = zenta::QVCrc64(&c.versao, sizeof c.versao);
    c.crcCrcVersao = zenta::QVCrc64(&c.crcVersao, sizeof c.crcVersao);
    c.dhAtualizacao = c.dhCriacao = c.dhCriacaoOriginal = 1;
    c.tamanhoDadosCabecalho = dbc::TAMANHO_DADOS_CABECALHO;
    c.tamanhoDados = tamanhoDados;
    c.versaoArquivo = 1;
    c.versaoMotorCriacao = c.versaoMotorModificacao = dbc::VERSAO_MOTOR;
    std::memcpy(c.nomeArquivo, NOME, std::strlen(NOME));
    std::memcpy(c.empresa, "EMP", 3);
    std::string bytes(reinterpret_cast<const char*>(&c), sizeof c);
    const uint64_t crc = zenta::QVCrc64(bytes.data() + 24, 208);
    std::memcpy(bytes.data() + 232, &crc, sizeof crc);
    return bytes;
}

// The format check of the file on disk: no finding the engine would refuse.
void ExigeSoundo(const fs::path& caminho, bool comCabecalho, ULONGLONG quantidade) {
    const std::string bytes = zenta::fuzz::LeArquivo(caminho);
    dbc::OpcoesVerificacao opcoes;
    opcoes.tamanhoRegistro = sizeof(REG_FUZZ_TIPADO);
    opcoes.quantidade = static_cast<int64_t>(quantidade);
    dbc::FonteMemoria fonte(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
    const dbc::ResultadoVerificacao r = dbc::Verifica(fonte, NOME, opcoes);
    Exige(r.possuiCabecalho == comCabecalho);
    // Bare records that look like a damaged header (a prefix CRC of version
    // 1 at offset 8, say) are reported as one, and the check then counts the
    // records behind it: only its count differs from the engine's.
    if (r.cabecalhoDanificado) Exige(!comCabecalho && r.Tem(dbc::TipoAchado::prefixoDanificado));
    for (const dbc::Achado& a : r.achados)
        Exige(a.codigo == 0 && (a.tipo != dbc::TipoAchado::quantidade || r.cabecalhoDanificado));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const fs::path caminho = zenta::fuzz::DiretorioLimpo() / NOME;

    const uint8_t modo = static_cast<uint8_t>(dados[0] % 3);
    std::string conteudo(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
    if (modo == 2) conteudo = Cabecalho(conteudo.size()) + conteudo;
    // Bare records that happen to start with a sound header prefix are read
    // behind it even with headers off, and then nothing keeps that header
    // up to date: not a case of this target.
    if (modo == 1 && conteudo.size() >= 24 && dbc::PrefixoValido(reinterpret_cast<const std::byte*>(conteudo.data())))
        return 0;
    zenta::fuzz::EscreveArquivo(caminho, conteudo);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetSemCabecalho(modo == 1);
    CQVFile<REG_FUZZ_TIPADO> arq(NOME, &db);
    if (FAILED(arq.Inicializa("EMP", 1, 1))) {
        arq.Finaliza();
        return 0;
    }

    // Every record is the bytes at its place behind the header, and an
    // index with repeats finds each under its key, positions ascending.
    const std::string disco = zenta::fuzz::LeArquivo(caminho);
    const ULONGLONG quantidade = arq.GetQtdRegistros();
    const std::size_t inicio = disco.size() - quantidade * sizeof(REG_FUZZ_TIPADO);
    Exige(inicio == (modo == 1 ? 0u : 240u));
    Exige(arq.IncluiIndex(ChaveCodigo, 0, true, true) == S_OK);
    std::vector<ULONGLONG> posicoes;
    for (ULONGLONG p = 1; p <= quantidade; ++p) {
        REG_FUZZ_TIPADO reg{};
        Exige(SUCCEEDED(arq.Le(p, &reg)));
        Exige(std::memcmp(&reg, disco.data() + inicio + (p - 1) * sizeof reg, sizeof reg) == 0);
        Exige(arq.ExisteIndex(ULONGLONG{reg.lCodigo}, posicoes, 0) == S_OK);
        Exige(std::is_sorted(posicoes.begin(), posicoes.end()));
        Exige(std::find(posicoes.begin(), posicoes.end(), p) != posicoes.end());
    }
    REG_FUZZ_TIPADO reg{};
    reg.lCodigo = 1;
    Exige(arq.Le(quantidade + 1, &reg) == E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO && reg.lCodigo == 0);

    // An append takes the next position and is there after a reload.
    REG_FUZZ_TIPADO novo{};
    novo.lCodigo = 0xFEEDu;
    std::memcpy(novo.szNome, "fuzz", 4);
    ULONGLONG posicao = QVDATABASE_POSICAO_NOVO_REGISTRO;
    Exige(arq.Grava(posicao, novo) == S_OK && posicao == quantidade + 1);
    Exige(arq.ExisteIndex(ULONGLONG{0xFEEDu}, posicoes, 0) == S_OK && !posicoes.empty() && posicoes.back() == posicao);
    arq.Finaliza();
    ExigeSoundo(caminho, modo != 1, quantidade + 1);
    Exige(SUCCEEDED(arq.Inicializa("EMP", 1, 1)));
    Exige(arq.GetQtdRegistros() == quantidade + 1);
    Exige(SUCCEEDED(arq.Le(quantidade + 1, &reg)) && std::memcmp(&reg, &novo, sizeof reg) == 0);
    arq.Finaliza();
    return 0;
}
