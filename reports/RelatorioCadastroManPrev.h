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

#include <string>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVBaseParaRotinas.h"
#include "reports/QVConsultaManutencaoPreventiva.h"
#include "standins/relatorio/QVLinhaRelatorioBase.h"
#include "standins/relatorio/QVRelatorioBase.h"

namespace zenta {

// Kinds of the search keys of both maintenance reports.
inline constexpr LONG QV_CHAVE_RELATORIO_PRODUTO = 1;
inline constexpr LONG QV_CHAVE_RELATORIO_SERVICO = 2;
inline constexpr LONG QV_CHAVE_RELATORIO_CLIENTE = 3;

// Nothing matched the filter: no report is written.
inline constexpr HRESULT QV_S_RELATORIO_SEM_REGISTROS = static_cast<HRESULT>(0x000406C2);

class CLinhaRelatorioCadastroManPrev : public CQVLinhaRelatorioBase {
public:
    CLinhaRelatorioCadastroManPrev();
    bool EhCampoMestre(LONG lCodigo) const override { return lCodigo < 200; }
    int GrupoDoCampo(LONG lCodigo) const override;
    std::string TituloGrupo(int iGrupo) const override;
};

class CRelatorioCadastroManPrev : public CQVBaseParaRotinas {
public:
    CRelatorioCadastroManPrev() = default;
    ~CRelatorioCadastroManPrev() override;

    // Takes the session of the service's logic object and reads the plans
    // through it.
    HRESULT Inicializa(IQVConsultaManutencaoPreventiva* pServico);
    using CQVBaseParaRotinas::Inicializa;

    // Writes the report. QV_S_RELATORIO_SEM_REGISTROS when no plan passes
    // the filter (no file is written).
    HRESULT EmiteRelatorio(const _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regRelatorio);

    // The field codes in the report's order (the last, 611, is not declared
    // by the line).
    static const LONG kCampos[];
    static const std::size_t kQtdCampos;

    // The report's lines and generator (tests).
    CQVRelatorioBase<CLinhaRelatorioCadastroManPrev>& GetRelatorio() { return m_Relatorio; }

    BOOL GetTemLinhaSubordinada() const { return TRUE; }
    // Why the last EmiteRelatorio failed, for people (UTF-8); "" when the
    // generator gave no reason.
    std::string GetMotivoErro() { return m_Relatorio.GetMontaRelatorio().GetErro(); }

private:
    HRESULT InicializaRelatorio(std::string_view empresa, std::string_view modulo, std::string_view componente,
                                std::string_view arquivoTemp, std::string_view relatorio, BOOL bTemLinhaSubordinada);
    HRESULT CarregaDados();
    HRESULT CarregaDadosPrincipal(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
    HRESULT CarregaDadosManutencao(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano, std::size_t& linhas);
    HRESULT CarregaDadosProdutos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao, std::size_t linha);
    HRESULT CarregaDadosServicos(const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& manutencao, std::size_t linha);
    HRESULT CarregaDadosCliente(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano);
    HRESULT GeraRelatorio();
    // A technician's name ("" for none or one the ERP does not know).
    HRESULT NomeUsuario(ULONG lUsuario, std::string& nome);

    CQVContextoProfiler QVProfilerDoEscopo() const { return CQVBaseParaRotinas::QVProfilerDoEscopo(); }

    IQVConsultaManutencaoPreventiva* m_pServico = nullptr;
    CQVRelatorioBase<CLinhaRelatorioCadastroManPrev> m_Relatorio;
    _REG_RELATORIO_CADASTRO_MANUTENCAO_PREVENTIVA_PS m_regRelatorio{};
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS m_Filtro{};
    CQVAcessoServidores m_acessos;
};

}  // namespace zenta
