#include "tools/zentactl/Cadastros.h"

#include "tools/zentactl/Sessao.h"

#include "standins/erp/QVErpCadastros.h"

namespace zenta::ctl {

namespace {

// A JSON number that is a 32-bit code (SQLite hands integers back signed).
bool Codigo32(const nlohmann::json& v, ULONG& codigo) {
    if (!v.is_number_integer()) return false;
    const auto x = v.get<std::int64_t>();
    if (x < 0 || x > 0xFFFFFFFFLL) return false;
    codigo = static_cast<ULONG>(x);
    return true;
}

}  // namespace

const nlohmann::json* CadastrosErp::Linha(std::string_view tabela, ULONG codigo) {
    if (codigo == 0) return nullptr;
    auto it = m_tabelas.find(tabela);
    if (it == m_tabelas.end()) {
        std::map<ULONG, nlohmann::json> linhas;
        nlohmann::json todas;
        if (SUCCEEDED(ListaCadastroErp(m_empresa, tabela, todas)) && todas.is_array()) {
            for (auto& linha : todas) {
                const auto c = linha.find("codigo");
                ULONG codigoLinha = 0;
                if (c != linha.end() && Codigo32(*c, codigoLinha)) linhas[codigoLinha] = std::move(linha);
            }
        }
        it = m_tabelas.emplace(std::string(tabela), std::move(linhas)).first;
    }
    const auto linha = it->second.find(codigo);
    return linha == it->second.end() ? nullptr : &linha->second;
}

std::string CadastrosErp::Nome(std::string_view tabela, ULONG codigo) {
    const nlohmann::json* linha = Linha(tabela, codigo);
    if (linha == nullptr) return {};
    const auto nome = linha->find("nome");
    return nome != linha->end() && nome->is_string() ? nome->get<std::string>() : std::string();
}

std::string CadastrosErp::Codigo(std::string_view tabela, ULONG codigo) {
    if (codigo == 0) return {};
    const std::string nome = Nome(tabela, codigo);
    return nome.empty() ? std::to_string(codigo) : std::to_string(codigo) + " " + nome;
}

unsigned CadastrosErp::CasasUnidade(ULONG unidade, unsigned padrao) {
    const nlohmann::json* linha = Linha("unidade_medida", unidade);
    if (linha == nullptr) return padrao;
    const auto casas = linha->find("casas_decimais");
    ULONG n = 0;
    if (casas == linha->end() || !Codigo32(*casas, n) || n > 4) return padrao;
    return static_cast<unsigned>(n);
}

unsigned CadastrosErp::CasasDe(std::string_view tabela, ULONG codigo, unsigned padrao) {
    const nlohmann::json* linha = Linha(tabela, codigo);
    if (linha == nullptr) return padrao;
    const auto unidade = linha->find("unidade");
    ULONG codigoUnidade = 0;
    if (unidade == linha->end() || !Codigo32(*unidade, codigoUnidade)) return padrao;
    return CasasUnidade(codigoUnidade, padrao);
}

std::vector<std::pair<std::string, std::size_t>> ImportaCadastros(const std::string& empresaCp1252,
                                                                  const nlohmann::json& documento) {
    ResumoImportacaoErp resumo;
    std::string erro;
    const HRESULT hr = ImportaCadastrosErp(empresaCp1252, documento, resumo, erro);
    if (FAILED(hr)) throw FalhaOperacao("erp import", hr, erro.empty() ? "import failed" : erro);
    return resumo.linhasPorTabela;
}

nlohmann::json ListaCadastro(const std::string& empresaCp1252, const std::string& tabela) {
    bool conhecida = false;
    for (const std::string_view t : TabelasCadastroErp()) conhecida = conhecida || t == tabela;
    if (!conhecida) throw ErroUso("erp list: unknown table \"" + tabela + "\"");
    nlohmann::json linhas;
    const HRESULT hr = ListaCadastroErp(empresaCp1252, tabela, linhas);
    if (FAILED(hr)) throw FalhaOperacao("erp list", hr, "the table " + tabela + " could not be read");
    return linhas.is_array() ? linhas : nlohmann::json::array();
}

std::vector<std::string> TabelasCadastro() {
    std::vector<std::string> tabelas;
    for (const std::string_view t : TabelasCadastroErp()) tabelas.emplace_back(t);
    return tabelas;
}

std::vector<std::string> ColunasCadastro(const std::string& tabela) {
    std::vector<std::string> colunas;
    for (const std::string_view c : ColunasCadastroErp(tabela)) colunas.emplace_back(c);
    return colunas;
}


}  // namespace zenta::ctl
