// Text files come from disk, where anything may have changed them: whatever
// bytes a text file holds, loading it must either fail with a code or give
// texts that read back, cover the data exactly, and survive an append and a
// reload. Never a crash, never a read outside the file's bytes.
//
// The first input byte chooses how the rest is presented:
//   0  the file as it is, headers managed (a headerless file gains a header);
//   1  the bare chain in a container without headers;
//   2  the chain behind a sound 240-byte header.
#include "fuzz/AmbienteFuzz.h"
#include "platform/QVModulos.h"
#include "core/qvdatabase/QVFileBase.h"
#include "core/qvdatabase/QVTextFile.h"

using namespace zenta;

namespace {

constexpr const char* NOME = "GETEXTO.dat";

// A header as the engine writes it, for `tamanhoDados` bytes of data.
std::string CabecalhoValido(std::size_t tamanhoDados) {
    REG_QVDATABASE_CABECALHO_V1 c{};
    zenta::PreenchePrefixoCabecalhoV1(c);
    c.ullTamanhoDadosCabecalho = QVDATABASE_TAMANHO_DADOS_CABECALHO;
    c.ullTamanhoDados = tamanhoDados;
    c.usVersaoArquivo = 1;
    c.usVersaoMotorCriacao = QVDATABASE_VERSAO_MOTOR;
    c.usVersaoMotorModificacao = QVDATABASE_VERSAO_MOTOR;
    std::strcpy(c.szNomeArquivo, NOME);
    std::strcpy(c.szEmpresa, "EMP");
    c.ullCrcCabecalho = zenta::CrcCabecalho(c);
    return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

using zenta::fuzz::Exige;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    // A clean company directory each run: no file, work copy or error log
    // of an earlier input stays behind.
    const std::filesystem::path caminho = zenta::fuzz::DiretorioLimpo() / NOME;
    std::error_code ec;

    const uint8_t modo = static_cast<uint8_t>(dados[0] % 3);
    std::string conteudo(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
    if (modo == 2) conteudo = CabecalhoValido(conteudo.size()) + conteudo;
    zenta::fuzz::EscreveArquivo(caminho, conteudo);

    zenta::CQVContainerArquivosSimples db(QV_MODULO_GE);
    db.SetSemCabecalho(modo == 1);
    CQVTextFile arq(NOME, &db);
    if (FAILED(arq.Inicializa("EMP", 1, 1))) {
        arq.Finaliza();
        return 0;
    }

    // Every text reads back, and the items cover the data area exactly
    // (what is left is the header, if there is one).
    const ULONGLONG quantidade = arq.GetQtdRegistros();
    uint64_t cadeia = 0;
    std::string texto;
    for (ULONGLONG p = 1; p <= quantidade; ++p) {
        Exige(SUCCEEDED(arq.Le(p, texto)));
        cadeia += 4 + texto.size();
    }
    Exige(FAILED(arq.Le(quantidade + 1, texto)) && texto.empty());
    const uint64_t noDisco = std::filesystem::file_size(caminho, ec);
    Exige(!ec && (noDisco == cadeia || noDisco == cadeia + QVDATABASE_TAMANHO_CABECALHO));

    // An append takes the next position and is there after a reload.
    ULONGLONG posicao = 0;
    Exige(SUCCEEDED(arq.Grava(posicao, "fuzz")) && posicao == quantidade + 1);
    arq.Finaliza();
    Exige(SUCCEEDED(arq.Inicializa("EMP", 1, 1)));
    Exige(arq.GetQtdRegistros() == quantidade + 1);
    Exige(SUCCEEDED(arq.Le(quantidade + 1, texto)) && texto == "fuzz");
    arq.Finaliza();
    return 0;
}
