// zenta-dbcheck's parser is fed files anyone may have damaged: whatever they
// hold it must report, never crash or read outside the file, and say the
// same of a file on disk as of the same bytes in memory. Its findings must be
// single printable lines, and what it reports as clean must add up: a clean
// chain of text items covers the data exactly, clean records divide it.
//
// Input: byte 0 chooses the check (bits 0-1: none, records, a single record,
// texts), the file's name (bits 2-3: a data file, an "srk" or "cab" work
// file, the control file) and how much of a sound header the content is
// given (bits 4-5: zenta::fuzz::ComCabecalho's modes, reserved bytes kept); byte 1 is the record size
// minus 1; the rest is the file.
#include <memory>

#include "fuzz/AmbienteFuzz.h"
#include "tools/zenta-dbcheck/FonteBytes.h"
#include "tools/zenta-dbcheck/VerificaArquivo.h"

namespace {

namespace fs = std::filesystem;
namespace dbc = zenta::dbcheck;

const char* const NOMES[] = {"GEDBCHECK.dat", "GEDBCHECK.srk", "GEDBCHECK.cab", "QVDATABASE_FILE_CTRL.dat"};

using zenta::fuzz::Exige;

bool Iguais(const dbc::ResultadoVerificacao& a, const dbc::ResultadoVerificacao& b) {
    if (a.achados.size() != b.achados.size() || a.possuiCabecalho != b.possuiCabecalho ||
        a.cabecalhoDanificado != b.cabecalhoDanificado || a.inicioDados != b.inicioDados ||
        a.tamanhoDados != b.tamanhoDados || a.quantidade != b.quantidade || a.itens.size() != b.itens.size())
        return false;
    for (std::size_t i = 0; i < a.achados.size(); ++i)
        if (a.achados[i].tipo != b.achados[i].tipo || a.achados[i].offset != b.achados[i].offset ||
            a.achados[i].codigo != b.achados[i].codigo || a.achados[i].texto != b.achados[i].texto)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    if (tamanho < 2) return 0;
    const unsigned verificacao = dados[0] & 3u;
    const char* const nome = NOMES[(dados[0] >> 2) & 3u];
    const std::string conteudo = zenta::fuzz::ComCabecalho(
        (dados[0] >> 4) & 3u, std::string(reinterpret_cast<const char*>(dados + 2), tamanho - 2), "GEDBCHECK.dat", false);

    dbc::OpcoesVerificacao opcoes;
    opcoes.guardaItens = true;
    if (verificacao == 1 || verificacao == 2) opcoes.tamanhoRegistro = uint64_t{dados[1]} + 1;
    opcoes.registroUnico = verificacao == 2;
    opcoes.texto = verificacao == 3;

    const fs::path dir = zenta::fuzz::Ambiente() / "data" / "EMP" / "GE";
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path caminho = dir / nome;
    zenta::fuzz::EscreveArquivo(caminho, conteudo);
    std::string erro;
    const auto noDisco = dbc::FonteArquivo::Abre(caminho, erro);
    Exige(noDisco != nullptr);
    const dbc::ResultadoVerificacao r = dbc::Verifica(*noDisco, nome, opcoes);
    fs::remove(caminho, ec);

    // An exactly sized copy, so that a read past the end is caught.
    std::unique_ptr<std::byte[]> copia(new std::byte[conteudo.size() + 1]);
    std::memcpy(copia.get(), conteudo.data(), conteudo.size());
    const dbc::FonteMemoria naMemoria({copia.get(), conteudo.size()});
    Exige(Iguais(r, dbc::Verifica(naMemoria, nome, opcoes)));

    Exige(r.tamanhoArquivo == conteudo.size());
    if (conteudo.size() >= 24 && !dbc::NomeSemCabecalho(nome))
        Exige(r.possuiCabecalho == dbc::PrefixoValido(reinterpret_cast<const std::byte*>(conteudo.data())));
    for (const dbc::Achado& a : r.achados) {
        Exige(a.offset <= conteudo.size());
        for (const char c : dbc::FormataAchado("f", a)) Exige(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    }
    if (r.Limpo() && (opcoes.texto || opcoes.tamanhoRegistro != 0)) {
        Exige(r.inicioDados + r.tamanhoDados == conteudo.size());
        if (opcoes.texto) {
            uint64_t fim = 0;
            for (const dbc::ItemTexto& item : r.itens) {
                Exige(item.offset == fim);
                fim += 4 + uint64_t{item.tamanho};
            }
            Exige(fim == r.tamanhoDados && r.quantidade == r.itens.size());
        } else {
            Exige(r.tamanhoDados == r.quantidade * opcoes.tamanhoRegistro);
        }
    }
    return 0;
}
