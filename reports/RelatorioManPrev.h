// What the two maintenance reports share: the service they read through,
// the report's lines and generator, the ERP lookups behind their fields,
// and the frame of an emission (open, load, generate, close).
#pragma once

#include <string>
#include <string_view>

#include <zenta/QVGE_ManutencaoPreventivaRecords.h>

#include "access/QVAcessoServidores.h"
#include "access/QVBaseParaRotinas.h"
#include "diagnostics/QVCheck.h"
#include "platform/CodePage.h"
#include "reports/FormatosRelatorio.h"
#include "reports/QVConsultaManutencaoPreventiva.h"
#include "standins/relatorio/QVRelatorioBase.h"

namespace zenta {

// Kinds of the search keys of both maintenance reports.
inline constexpr LONG QV_CHAVE_RELATORIO_PRODUTO = 1;
inline constexpr LONG QV_CHAVE_RELATORIO_SERVICO = 2;
inline constexpr LONG QV_CHAVE_RELATORIO_CLIENTE = 3;

// Nothing matched the filter: no report is written.
inline constexpr HRESULT QV_S_RELATORIO_SEM_REGISTROS = static_cast<HRESULT>(0x000406C2);

// A lookup's result, a code the ERP does not know read as found and empty.
inline HRESULT CadastradoOuVazio(HRESULT hr) { return hr == kNaoCadastrado ? S_OK : hr; }

template <class TLinha>
class CRelatorioManPrev : public CQVBaseParaRotinas {
public:
    ~CRelatorioManPrev() override { Finaliza(); }

    // Takes the session of the service's logic object and reads through it.
    HRESULT Inicializa(IQVConsultaManutencaoPreventiva* pServico) {
        if (pServico == nullptr) QV_CHECK(E_POINTER);
        QV_CHECK(CQVInicializador::Inicializa(pServico->GetSessaoConsulta()));
        m_pServico = pServico;
        return S_OK;
    }
    using CQVBaseParaRotinas::Inicializa;

    // The report's lines and generator (tests).
    CQVRelatorioBase<TLinha>& GetRelatorio() { return m_Relatorio; }
    BOOL GetTemLinhaSubordinada() const { return TRUE; }
    // Why the last emission failed, for people (UTF-8); "" when the
    // generator gave no reason.
    std::string GetMotivoErro() { return m_Relatorio.GetMontaRelatorio().GetErro(); }

protected:
    explicit CRelatorioManPrev(std::string_view titulo) : m_sTitulo(titulo) {}

    // An emission: the ERP's accessors (the stock's too when `bUsaEstoque`),
    // the report opened, its data loaded, the file generated and closed.
    // QV_S_RELATORIO_SEM_REGISTROS when nothing passed the filter (no file).
    HRESULT Emite(BSTR bsComponente, BSTR bsArquivoTemp, BSTR bsRelatorio, bool bUsaEstoque) {
        if (m_pServico == nullptr) QV_CHECK(E_UNEXPECTED);
        QV_CHECK(GetAcessoServidores(m_acessos));
        if (m_acessos.pEmpresarial == nullptr || m_acessos.pGerenciador == nullptr ||
            (bUsaEstoque && m_acessos.pEstoque == nullptr))
            QV_CHECK(E_NOTIMPL);
        QV_CHECK(InicializaRelatorio(GetEmpresa(), "GE", BstrRelatorio(bsComponente), BstrRelatorio(bsArquivoTemp),
                                     BstrRelatorio(bsRelatorio), GetTemLinhaSubordinada()));
        const HRESULT hrDados = CarregaDados();
        QV_CHECK(hrDados);
        if (hrDados == QV_S_RELATORIO_SEM_REGISTROS) return hrDados;
        if (const HRESULT hr = GeraRelatorio(); FAILED(hr)) {
            QV_LOG_HR(hr, "GeraRelatorio()");
            m_Relatorio.FinalizaRelatorio(FALSE);
            return hr;
        }
        QV_CHECK(m_Relatorio.FinalizaRelatorio(TRUE));
        return S_OK;
    }

    // Opens the report for this session's company and user, under the
    // report's title.
    virtual HRESULT InicializaRelatorio(std::string_view empresa, std::string_view modulo, std::string_view componente,
                                        std::string_view arquivoTemp, std::string_view relatorio,
                                        BOOL bTemLinhaSubordinada) {
        const ULONG sessao = GetNumeroSessao();
        QV_CHECK(m_Relatorio.InicializaRelatorio(Cp1252ParaUtf8(empresa), GetUsuario(),
                                                 sessao > 0x7FFFFFFFu ? 0 : static_cast<LONG>(sessao), modulo,
                                                 componente, arquivoTemp, relatorio, bTemLinhaSubordinada, m_sTitulo));
        return S_OK;
    }

    // Fills the report's lines; QV_S_RELATORIO_SEM_REGISTROS for none.
    virtual HRESULT CarregaDados() = 0;

    HRESULT GeraRelatorio() {
        QV_CHECK(m_Relatorio.GeraRelatorio());
        return S_OK;
    }

    // ---- ERP lookups of the fields: an unknown code reads as empty ----------------------

    // A technician's name ("" for none or one the ERP does not know).
    HRESULT NomeUsuario(ULONG lUsuario, std::string& nome) {
        nome.clear();
        if (lUsuario == 0 || lUsuario > 0xFFFFu) return S_OK;
        CQVDadosDF_Usuario usuario;
        QV_CHECK(CadastradoOuVazio(m_acessos.pEmpresarial->LeUsuario(static_cast<USHORT>(lUsuario), &usuario)));
        nome = usuario.GetNome();
        return S_OK;
    }

    HRESULT LeProduto(ULONG lProduto, ULONG lGrade1, ULONG lGrade2, ULONG lGrade3, CQVDadosDF_ProdutoEx& produto) {
        if (lProduto == 0) return S_OK;
        CQVPosicaoProduto posicao;
        posicao.lProduto = lProduto;
        posicao.lGrade1 = lGrade1;
        posicao.lGrade2 = lGrade2;
        posicao.lGrade3 = lGrade3;
        QV_CHECK(CadastradoOuVazio(m_acessos.pEmpresarial->LeProdutoEx(posicao, &produto)));
        return S_OK;
    }

    HRESULT LeServico(ULONG lServico, CQVDadosDF_Servico& servico) {
        if (lServico == 0) return S_OK;
        QV_CHECK(CadastradoOuVazio(m_acessos.pEmpresarial->LeServico(lServico, &servico)));
        return S_OK;
    }

    HRESULT LeCliente(ULONG lCliente, CQVDadosDF_ClienteComercial& cliente) {
        if (lCliente == 0) return S_OK;
        QV_CHECK(CadastradoOuVazio(m_acessos.pEmpresarial->LeClienteComercial(lCliente, &cliente)));
        return S_OK;
    }

    HRESULT LeEquipamento(ULONG lEquipamento, CQVDadosGE_CadEquipamento& equipamento) {
        if (lEquipamento == 0) return S_OK;
        QV_CHECK(CadastradoOuVazio(m_acessos.pGerenciador->LeCadastroEquipamento(lEquipamento, &equipamento)));
        return S_OK;
    }

    // Rows with no record of a kind get the kind's key with pointer 0.
    void CompletaChaves(std::size_t linhas, std::initializer_list<LONG> tipos) {
        for (std::size_t l = 0; l < linhas; ++l) {
            TLinha& linha = m_Relatorio.LinhaDoRegistro(l);
            for (const LONG tipo : tipos)
                if (!linha.TemChavePesquisa(tipo)) linha.SetPonteiroLeituraRelatorioIntegrado(tipo, 0);
        }
    }

    CQVContextoProfiler QVProfilerDoEscopo() const { return CQVBaseParaRotinas::QVProfilerDoEscopo(); }

    IQVConsultaManutencaoPreventiva* m_pServico = nullptr;
    CQVRelatorioBase<TLinha> m_Relatorio;
    CQVAcessoServidores m_acessos;

private:
    std::string m_sTitulo;
};

}  // namespace zenta
