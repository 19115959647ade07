// The plan registration report: the maintenance plans that pass a filter,
// each as a master line (the plan's identification) with rows for its
// maintenances (with their products and services) and its customers.
//
// Rows under a plan: each maintenance starts a row and takes as many rows
// as the larger of its product and service counts (at least one); its
// fields 201 and 301 to 309 are on its first row, its products' fields
// (401 to 407) and services' fields (501 to 504) on its rows in order. The
// customers (601 to 611) fill the rows from the first one. Every row
// carries one search key per kind (product 1, service 2, customer 3); a row
// without a record of a kind has that kind's key with pointer 0.
#pragma once

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "reports/RelatorioManPrev.h"
#include "standins/relatorio/QVLinhaRelatorioBase.h"

namespace zenta {

class CLinhaRelatorioCadastroManPrev : public CQVLinhaRelatorioBase {
public:
    CLinhaRelatorioCadastroManPrev();
    bool EhCampoMestre(LONG lCodigo) const override { return lCodigo < 200; }
    int GrupoDoCampo(LONG lCodigo) const override;
    std::string TituloGrupo(int iGrupo) const override;
};

class CRelatorioCadastroManPrev : public CRelatorioManPrev<CLinhaRelatorioCadastroManPrev> {
public:
    CRelatorioCadastroManPrev();

    // Writes the report. QV_S_RELATORIO_SEM_REGISTROS when no plan passes
    // the filter (no file is written).
    HRESULT EmiteRelatorio(const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio);

    // The field codes in the report's order (the last, 611, is not declared
    // by the line).
    static const LONG kCampos[];
    static const std::size_t kQtdCampos;

private:
    // Opens the report and gives the dynamic fields the installation's names.
    HRESULT InicializaRelatorio(std::string_view empresa, std::string_view modulo, std::string_view componente,
                                std::string_view arquivoTemp, std::string_view relatorio,
                                BOOL bTemLinhaSubordinada) override;
    HRESULT CarregaDados() override;
    HRESULT CarregaDadosPrincipal(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
    HRESULT CarregaDadosManutencao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano, std::size_t& linhas);
    HRESULT CarregaDadosProdutos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao, std::size_t linha);
    HRESULT CarregaDadosServicos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao, std::size_t linha);
    HRESULT CarregaDadosCliente(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);

    _REG_FILTRO_CADASTRO_MANUTENCAO_PS m_Filtro{};
};

}  // namespace zenta
