// The maintenance order report: the orders that pass a filter, each as a
// master line (fields 101 to 128; 126 to 128, the order's key, status and
// maintenance name, head its block) with rows for its products (201 to 209)
// and services (301 to 305). Product p and service p share row p (row 0 is
// the master line). Every row carries the search keys of its product (1),
// its service (2) and the order's customer (3); a row past the order's last
// product (service) has that kind's key with pointer 0.
#pragma once

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "reports/RelatorioManPrev.h"
#include "standins/relatorio/QVLinhaRelatorioBase.h"

namespace zenta {

class CLinhaRelatorioMovimentoManPrev : public CQVLinhaRelatorioBase {
public:
    CLinhaRelatorioMovimentoManPrev();
    bool EhCampoMestre(LONG lCodigo) const override { return lCodigo < 200; }
    bool EhCampoCabecalho(LONG lCodigo) const override { return lCodigo >= 126 && lCodigo <= 128; }
    std::string TituloGrupo(int iGrupo) const override;
};

class CRelatorioMovimentoManPrev : public CRelatorioManPrev<CLinhaRelatorioMovimentoManPrev> {
public:
    CRelatorioMovimentoManPrev();

    // Writes the report. QV_S_RELATORIO_SEM_REGISTROS when no order passes
    // the filter (no file is written).
    HRESULT EmiteRelatorio(const _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS& regRelatorio);

    // The field codes in the report's order (the last, 305, is not declared
    // by the line).
    static const LONG kCampos[];
    static const std::size_t kQtdCampos;

private:
    HRESULT CarregaDados() override;
    HRESULT CarregaDadosPrincipal();
    HRESULT CarregaDadosProdutos();
    HRESULT CarregaDadosServicos();

    _REG_MOVIMENTACAO_FILTRO_PS m_Filtro{};
    // The order being printed (its lists belong to the list read).
    const _REG_MOVIMENTACAO_MANUT_PREV_PS* m_pDadosRegistro = nullptr;
};

}  // namespace zenta
