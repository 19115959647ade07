// The report-building template over the generator: keeps a report's lines
// (of the report's line class T, derived from CQVLinhaRelatorioBase) in a
// list, chooses the fields after the model, creates the rows under each
// master line by copying it, and hands every line to the generator.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include <zenta/WinTypes.h>

#include "standins/relatorio/MontaRelatorio.h"
#include "standins/relatorio/QVLinhaRelatorioBase.h"
#include "diagnostics/QVCheck.h"

namespace zenta {

template <class T>
class CQVRelatorioBase {
public:
    CQVRelatorioBase() = default;
    CQVRelatorioBase(const CQVRelatorioBase&) = delete;
    CQVRelatorioBase& operator=(const CQVRelatorioBase&) = delete;

    // Starts the generator and, when it starts, chooses the fields of its
    // model: the declared fields in declaration order when the model names
    // none; otherwise the model's fields in its order, where a code above
    // 1000000 is a field of another module (asked of the generator) and any
    // other code must be a declared field (E_INVALIDARG otherwise).
    HRESULT InicializaRelatorio(std::string_view empresa, USHORT usUsuario, LONG lSessao, std::string_view modulo,
                                std::string_view componente, std::string_view arquivoTemp,
                                std::string_view relatorio, BOOL bTemLinhaSubordinada,
                                std::string_view titulo = {}) {
        m_linhas.clear();
        m_escolhidos.clear();
        m_iMestre = m_linhas.end();
        QV_CHECK(m_monta.Inicializa(empresa, usUsuario, lSessao, modulo, componente, arquivoTemp, relatorio,
                                    bTemLinhaSubordinada, titulo));
        m_bUtilizaLinhaSub = bTemLinhaSubordinada != FALSE && m_monta.GetUtilizaLinhaSub(TRUE) != FALSE;
        QV_CHECK(EscolheCampos());
        return S_OK;
    }

    CMontaRelatorio& GetMontaRelatorio() { return m_monta; }
    bool GetUtilizaLinhaSub() const { return m_bUtilizaLinhaSub; }

    // Whether the model chose the field (reads that only feed unchosen
    // fields can be left out).
    bool TemCampoSelecionado(LONG lCodigo) const {
        for (const Escolhido& e : m_escolhidos)
            if (e.lCodigo == lCodigo) return true;
        return false;
    }
    // Gives a chosen field another caption (the installation's own name for
    // it); an empty caption keeps the declared one.
    void AlteraRotulo(LONG lCodigo, std::string_view rotulo) {
        if (rotulo.empty()) return;
        for (Escolhido& e : m_escolhidos)
            if (e.lCodigo == lCodigo) e.sRotulo = std::string(rotulo);
    }
    std::vector<LONG> GetCamposEscolhidos() const {
        std::vector<LONG> codigos;
        for (const Escolhido& e : m_escolhidos) codigos.push_back(e.lCodigo);
        return codigos;
    }

    // ---- Lines ------------------------------------------------------------
    // A new master line: it opens the block of one record (plan or order).
    T& NovaLinhaMestre() {
        m_linhas.emplace_back();
        m_iMestre = std::prev(m_linhas.end());
        m_iMestre->SetLinhaMestre(true);
        m_qtdLinhasRegistro = 1;
        return *m_iMestre;
    }
    // Row `linha` of the current record (0 is the master line); a row that
    // does not exist yet is created, and the rows between, by copying the
    // master line's master fields.
    T& LinhaDoRegistro(std::size_t linha) {
        while (m_qtdLinhasRegistro <= linha) {
            T nova;
            nova.CopiarCamposLinhaMestre(*m_iMestre);
            m_linhas.push_back(std::move(nova));
            ++m_qtdLinhasRegistro;
        }
        auto it = m_iMestre;
        std::advance(it, static_cast<std::ptrdiff_t>(linha));
        return *it;
    }
    std::size_t QtdeLinhasRegistro() const { return m_qtdLinhasRegistro; }
    const std::list<T>& GetLinhas() const { return m_linhas; }

    // Hands every line to the generator, frees them and writes the report.
    HRESULT GeraRelatorio() {
        const HRESULT hr = PassaLinhas();
        m_linhas.clear();
        m_iMestre = m_linhas.end();
        m_qtdLinhasRegistro = 0;
        QV_CHECK(hr);
        QV_CHECK(m_monta.GeraRelatorio());
        return S_OK;
    }
    // TRUE puts the written report in place; FALSE drops it.
    HRESULT FinalizaRelatorio(BOOL bConfirma) { return m_monta.Finaliza(bConfirma); }

private:
    struct Escolhido {
        LONG lCodigo = 0;
        LONG lTamanho = 0;
        LONG lTipo = 0;
        std::string sRotulo;
        bool bIntegrado = false;
    };

    HRESULT EscolheCampos() {
        T modelo;
        // Number the declared fields in declaration order.
        std::vector<CQVCampoRelatorio>& declarados = modelo.GetCampos();
        const LONG quantidade = m_monta.GetQtdeCampos();
        if (quantidade <= 0) {
            for (CQVCampoRelatorio& c : declarados) {
                c.SetCampoEscolhidoNoModeloRelatorio(TRUE);
                m_escolhidos.push_back({c.GetCodigo(), c.GetTamanho(), c.GetTipo(), c.GetRotulo(), false});
            }
            return S_OK;
        }
        for (LONG i = 0; i < quantidade; ++i) {
            const LONG codigo = m_monta.GetCampoEscolhido(i);
            if (codigo > QV_CAMPO_RELATORIO_INTEGRADO) {
                Escolhido e;
                e.lCodigo = codigo;
                e.bIntegrado = true;
                if (const HRESULT hr = m_monta.GetCampoRelatorioIntegrado(codigo, e.sRotulo, e.lTamanho, e.lTipo);
                    FAILED(hr)) {
                    m_monta.SetErro("o campo " + std::to_string(codigo) +
                                    " do modelo é de outro módulo, e esta instalação não oferece campos integrados");
                    QV_LOG_HR(hr, "m_monta.GetCampoRelatorioIntegrado(codigo, e.sRotulo, e.lTamanho, e.lTipo)");
                    return hr;
                }
                m_escolhidos.push_back(std::move(e));
                continue;
            }
            CQVCampoRelatorio* campo = modelo.AchaCampo(codigo);
            if (campo == nullptr) {
                m_monta.SetErro("o campo " + std::to_string(codigo) + " do modelo não existe neste relatório");
                QV_LOG_HR(E_INVALIDARG, m_monta.GetErro());
                return E_INVALIDARG;
            }
            campo->SetCampoEscolhidoNoModeloRelatorio(TRUE);
            m_escolhidos.push_back({codigo, campo->GetTamanho(), campo->GetTipo(), campo->GetRotulo(), false});
        }
        return S_OK;
    }

    HRESULT PassaLinhas() {
        bool bBlocoAberto = false;
        std::size_t indice = 0;
        for (T& linha : m_linhas) {
            const bool bSubordinada = m_bUtilizaLinhaSub && !linha.GetLinhaMestre();
            if (bSubordinada) {
                QV_CHECK(m_monta.InicializaLinhaSubordinada());
            } else {
                if (bBlocoAberto) QV_CHECK(m_monta.FinalizaLinha());
                QV_CHECK(m_monta.InicializaLinha());
                bBlocoAberto = true;
            }
            for (const CQVChavePesquisaRelatorio& chave : linha.GetChavesPesquisa())
                QV_CHECK(m_monta.AdicionaChavePesquisa(chave.lTipo, chave.lPonteiro));
            // The columns are described while the first lines pass.
            const bool bDescreve = indice == 0 || (m_bUtilizaLinhaSub && indice == 1);
            for (Escolhido& e : m_escolhidos) {
                if (bDescreve) {
                    BOOL bAltera = FALSE;
                    const LONG tamanho = e.bIntegrado && e.lTipo == QV_CAMPO_RELATORIO_NUMERO ? 4 : e.lTamanho;
                    const int grupo = linha.GrupoDoCampo(e.lCodigo);
                    QV_CHECK(m_monta.AdicionaDetalhe(e.lCodigo, e.lTipo, tamanho, e.sRotulo,
                                                     linha.EhCampoMestre(e.lCodigo), grupo, linha.TituloGrupo(grupo),
                                                     &bAltera, linha.EhCampoCabecalho(e.lCodigo)));
                    if (bAltera != FALSE) {
                        if (CQVCampoRelatorio* c = linha.AchaCampo(e.lCodigo)) c->AlteraTipoCampo(e.lTipo);
                    }
                }
                QV_CHECK(m_monta.Adiciona(e.bIntegrado ? std::string_view() : std::string_view(linha.GetValor(e.lCodigo)),
                                          e.lTamanho));
            }
            if (bSubordinada) QV_CHECK(m_monta.FinalizaLinhaSubordinada());
            else if (!m_bUtilizaLinhaSub) {
                QV_CHECK(m_monta.FinalizaLinha());
                bBlocoAberto = false;
            }
            ++indice;
        }
        if (bBlocoAberto) QV_CHECK(m_monta.FinalizaLinha());
        return S_OK;
    }

    CMontaRelatorio m_monta;
    std::list<T> m_linhas;
    typename std::list<T>::iterator m_iMestre = m_linhas.end();
    std::size_t m_qtdLinhasRegistro = 0;
    std::vector<Escolhido> m_escolhidos;
    bool m_bUtilizaLinhaSub = false;
};

}  // namespace zenta
