#include "reports/RelatorioPrevisaoManPrev.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "standins/relatorio/MontaRelatorio.h"
#include "diagnostics/QVCheck.h"
#include "reports/FormatosRelatorio.h"
#include "values/QVDMA.h"

namespace zenta {

namespace {

constexpr LONG kTexto = 1;

struct Coluna {
    LONG lCodigo;
    LONG lTamanho;
    const char* rotulo;
};
constexpr Coluna kColunas[] = {
    {1, 14, "Vencimento"}, {2, 12, "Semana"}, {3, 60, "Técnico"},     {4, 80, "Item"},          {5, 50, "Nº de série"},
    {6, 10, "Plano"},      {7, 10, "Código"}, {8, 120, "Manutenção"}, {9, 20, "Por"},           {10, 12, "Ordem aberta"},
};

std::string Semana(ULONG dia) { return REG_QVDMA(SegundaDaSemana(dia)).Formata(REG_QVDMA::ESTILO_DMAAAA, '/').substr(0, 5); }

std::string Criterio(const ItemPrevisao& item) {
    if (item.dataVencimento == 0) return item.bSemEstimativa ? "sem estimativa" : "";
    if (item.lTipoFrequencia == 4) return "tempo e medidor";
    return item.dataVencimento == item.dataTempo ? "tempo" : "medidor";
}

std::vector<std::string> Valores(const RelatorioPrevisao& r, const ItemPrevisao& item) {
    return {item.dataVencimento != 0 ? DataRelatorio(item.dataVencimento) : "sem estimativa",
            item.dataVencimento != 0 ? Semana(item.dataVencimento) : "",
            r.nomeTecnico ? r.nomeTecnico(item.lTecnico) : NumeroRelatorio(item.lTecnico),
            r.nomeItem ? r.nomeItem(item) : NumeroRelatorio(item.lEquipamento != 0 ? item.lEquipamento : item.lProduto),
            item.sNrSerie,
            NumeroRelatorio(item.lPonteiroPlano),
            NumeroRelatorio(item.lCodigoManutencao),
            item.sNome,
            Criterio(item),
            item.bOrdemAberta ? "sim" : "não"};
}

}  // namespace

ULONG SegundaDaSemana(ULONG dia) {
    const auto segunda = static_cast<LONGLONG>(REG_QVDMA(5, 1, 2026).GetData());  // a Monday
    const LONGLONG desde = (static_cast<LONGLONG>(dia) - segunda) % 7;
    return static_cast<ULONG>(static_cast<LONGLONG>(dia) - (desde < 0 ? desde + 7 : desde));
}

GraficoRelatorio GraficoPrevisao(const RelatorioPrevisao& r, const std::vector<ItemPrevisao>& itens) {
    GraficoRelatorio g;
    g.sTitulo = "Manutenções por semana e técnico (próximos " + std::to_string(r.dias) + " dias)";
    std::vector<ULONG> semanas;
    for (ULONG s = SegundaDaSemana(r.hoje); s <= r.hoje + r.dias; s += 7) semanas.push_back(s);
    std::map<ULONG, std::size_t> series;  // technician -> series
    for (const ItemPrevisao& item : itens)
        if (item.dataVencimento != 0) series.emplace(item.lTecnico, 0);
    for (auto& [tecnico, indice] : series) {
        indice = g.series.size();
        g.series.push_back(tecnico == 0                  ? std::string("sem técnico")
                           : r.nomeTecnico ? r.nomeTecnico(tecnico)
                                           : NumeroRelatorio(tecnico));
    }
    for (const ULONG s : semanas) g.categorias.push_back(Semana(s));
    g.valores.assign(semanas.size(), std::vector<int>(g.series.size(), 0));
    for (const ItemPrevisao& item : itens) {
        if (item.dataVencimento == 0 || semanas.empty()) continue;
        const auto semana = (SegundaDaSemana(item.dataVencimento) - semanas.front()) / 7;
        if (semana < semanas.size()) ++g.valores[semana][series[item.lTecnico]];
    }
    return g;
}

HRESULT EmiteRelatorioPrevisao(const RelatorioPrevisao& r, const std::vector<ItemPrevisao>& itens,
                               const std::string& destino, std::string& erro) {
    erro.clear();
    CMontaRelatorio monta;
    const std::string titulo = "Previsão de Manutenções";
    if (const HRESULT hr = monta.Inicializa(r.sEmpresa, 0, 0, "GE", "previsao", destino, "", FALSE, titulo);
        FAILED(hr)) {
        erro = monta.GetErro();
        return hr;
    }
    for (std::size_t i = 0; i < itens.size(); ++i) {
        QV_CHECK(monta.InicializaLinha());
        const std::vector<std::string> valores = Valores(r, itens[i]);
        for (std::size_t c = 0; c < std::size(kColunas); ++c) {
            if (i == 0)
                QV_CHECK(monta.AdicionaDetalhe(kColunas[c].lCodigo, kTexto, kColunas[c].lTamanho, kColunas[c].rotulo,
                                               false, 1, ""));
            QV_CHECK(monta.Adiciona(valores[c], kColunas[c].lTamanho));
        }
        QV_CHECK(monta.FinalizaLinha());
    }
    if (monta.GetFormato() == FormatoSaidaRelatorio::Pdf) monta.GetDocumento().grafico = GraficoPrevisao(r, itens);
    if (const HRESULT hr = monta.GeraRelatorio(); FAILED(hr)) {
        erro = monta.GetErro();
        return hr;
    }
    if (const HRESULT hr = monta.Finaliza(TRUE); FAILED(hr)) {
        erro = monta.GetErro();
        return hr;
    }
    return S_OK;
}

}  // namespace zenta
