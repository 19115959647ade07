#include "access/erp/QVProvedorErp.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "access/QVBaseParaRotinas.h"
#include "access/QVDiretorios.h"
#include "access/erp/QVAssistecErp.h"
#include "diagnostics/QVCheck.h"
#include "values/QVCurrency.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace {

// Runs one accessor operation: whatever it throws becomes a result code.
template <class F>
HRESULT Protegido(F&& operacao) noexcept {
    try {
        return operacao();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

const HRESULT kNaoEncontrado = HRESULT_FROM_WIN32(1168u);  // ERROR_NOT_FOUND

// A currency value as the stand-in stores it: ten-thousandths as an integer
// or a text in US form, with its SQLite type in the column `coluna + 1`
// (typeof). NULL is 0; a text that is no value fails.
HRESULT MoedaDoBanco(const ErpComando& consulta, int coluna, CY& valor) {
    valor.int64 = 0;
    if (consulta.Nulo(coluna)) return S_OK;
    const std::string tipo = consulta.Texto(coluna + 1);
    if (tipo == "integer") {
        valor.int64 = consulta.Inteiro(coluna);
        return S_OK;
    }
    CQVCurrency moeda;
    const HRESULT hr = moeda.SetTexto(consulta.Texto(coluna), false);
    if (FAILED(hr)) return hr;
    valor = moeda.GetCY();
    return S_OK;
}

std::string MomentoLocal() {
    const RelogioSistema::Instante agora = RelogioSistema::Agora();
    char texto[40];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d %02d:%02d:%02d", agora.ano, agora.mes, agora.dia, agora.hora,
                  agora.minuto, agora.segundo);
    return texto;
}

// What the accessors of one session share: its context, taken when it
// connected, and the company's database once opened.
class SessaoErp {
public:
    SessaoErp(const CQVBaseParaRotinas& sessao, std::filesystem::path arquivo)
        : m_sessao(sessao),
          m_arquivo(std::move(arquivo)),
          m_empresa(sessao.CQVInicializador::GetEmpresa()),
          m_usUsuario(sessao.CQVInicializador::GetUsuario()),
          m_lSessao(sessao.CQVInicializador::GetNumeroSessao()) {}

    HRESULT Banco(std::shared_ptr<ErpBanco>& banco) {
        std::lock_guard lock(m_trava);
        if (!m_banco) QV_CHECK(ErpBanco::Compartilhado(m_arquivo, m_banco));
        banco = m_banco;
        return S_OK;
    }
    USHORT Usuario() const { return m_usUsuario; }
    const std::string& Empresa() const { return m_empresa; }
    LONG Sessao() const { return m_lSessao; }
    // Error-log lines of the accessors are the session's.
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }

private:
    const CQVBaseParaRotinas& m_sessao;
    const std::filesystem::path m_arquivo;
    const std::string m_empresa;
    const USHORT m_usUsuario;
    const LONG m_lSessao;
    std::mutex m_trava;
    std::shared_ptr<ErpBanco> m_banco;
};

class AcessoEmpresarialErp final : public IQVAcessoEmpresarial {
public:
    explicit AcessoEmpresarialErp(SessaoErp& sessao) : m_sessao(sessao) {}

    HRESULT GravaLog(const CQVEntradaLog& entrada) override {
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            QV_CHECK(banco->GravaLog(entrada, m_sessao.Usuario(), m_sessao.Sessao(), MomentoLocal()));
            return S_OK;
        });
    }

    HRESULT LeBufferCFRTLibPla(ULONG lCliente, CQVDadosDF_CFRT* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        if (lCliente == 0) return S_OK;  // no client: table 1
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            bool achou = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT tabela_preco FROM cliente WHERE codigo = ?1");
                QV_CHECK(consulta.Prepara());
                QV_CHECK(consulta.Liga(1, lCliente));
                QV_CHECK(consulta.Passo(achou));
                if (achou && !consulta.Nulo(0)) {
                    const int64_t tabela = consulta.Inteiro(0);
                    if (tabela >= 1 && tabela <= 65535) pDados->usPonteiroTabelaPreco = static_cast<USHORT>(tabela);
                }
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return achou ? S_OK : kNaoEncontrado;
        });
    }

    HRESULT LePrecoProduto(const CQVPosicaoProduto& regPosicaops, USHORT usPonteiroTabelaPreco,
                           CQVDadosGE_Preco* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            bool achou = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                // The exact grade items first, then the product's price without grades.
                ErpComando consulta(db, "SELECT preco_venda, typeof(preco_venda) FROM preco_produto"
                                        " WHERE produto = ?1 AND tabela_preco = ?5 AND"
                                        " ((grade1 = ?2 AND grade2 = ?3 AND grade3 = ?4) OR"
                                        "  (grade1 = 0 AND grade2 = 0 AND grade3 = 0))"
                                        " ORDER BY grade1 = 0 AND grade2 = 0 AND grade3 = 0 LIMIT 1");
                QV_CHECK(consulta.Prepara());
                QV_CHECK(consulta.Liga(1, regPosicaops.lProduto));
                QV_CHECK(consulta.Liga(2, regPosicaops.lGrade1));
                QV_CHECK(consulta.Liga(3, regPosicaops.lGrade2));
                QV_CHECK(consulta.Liga(4, regPosicaops.lGrade3));
                QV_CHECK(consulta.Liga(5, usPonteiroTabelaPreco));
                QV_CHECK(consulta.Passo(achou));
                if (achou) QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vPrecoVenda));
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return achou ? S_OK : S_FALSE;
        });
    }

    HRESULT LeBufferServico(ULONG lServico, CQVDadosDF_Servico* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            bool achou = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT valor, typeof(valor) FROM servico WHERE codigo = ?1");
                QV_CHECK(consulta.Prepara());
                QV_CHECK(consulta.Liga(1, lServico));
                QV_CHECK(consulta.Passo(achou));
                if (achou) QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vValor));
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return achou ? S_OK : kNaoEncontrado;
        });
    }

    HRESULT LeUsuario(USHORT usUsuario, CQVDadosDF_Usuario* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            bool achou = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT nome, coalesce(email, '') FROM usuario WHERE codigo = ?1");
                QV_CHECK(consulta.Prepara());
                QV_CHECK(consulta.Liga(1, usUsuario));
                QV_CHECK(consulta.Passo(achou));
                if (achou) {
                    pDados->sNome = consulta.Texto(0);
                    pDados->sEmail = consulta.Texto(1);
                }
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return achou ? S_OK : kNaoEncontrado;
        });
    }

    // ---- purchase requests ----

    // ---- notices and e-mail ----

    HRESULT EnviaEmail(const CQVDadosEmail& dadosEmail) override {
        if (dadosEmail.destinatarios.empty()) QV_CHECK(E_INVALIDARG);
        return E_NOTIMPL;
    }

    // ---- reports ----

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

class AcessoGerenciadorErp final : public IQVAcessoGerenciador {
public:
    explicit AcessoGerenciadorErp(SessaoErp& sessao) : m_sessao(sessao) {}

    HRESULT GetIGEAssistec(IQVGE_ASTMov** ppIAssistec) override {
        if (ppIAssistec == nullptr) QV_CHECK(E_POINTER);
        *ppIAssistec = nullptr;
        return Protegido([&]() -> HRESULT {
            _REG_DF_INICIALIZAPS regps;
            std::memset(&regps, 0, sizeof regps);
            regps.ulUsuario = m_sessao.Usuario();
            regps.ulNumeroSessao = static_cast<ULONG>(m_sessao.Sessao());
            regps.ulLinhaFonte = __LINE__;
            regps.usVersaoFarol = QV_VERSAO_FAROL;
            const std::string& empresa = m_sessao.Empresa();
            if (empresa.size() >= sizeof regps.szEmpresa) QV_CHECK(E_QV_NOME_EMPRESA_INVALIDO);
            std::memcpy(regps.szEmpresa, empresa.data(), empresa.size());
            std::memcpy(regps.szAplicativo, "zenta", 5);
            std::memcpy(regps.szModuleName, "zenta", 5);
            std::memcpy(regps.szArquivoFonte, "QVProvedorErp.cpp", 17);
            regps.cControle = QV_CONTROLE_INICIALIZACAO;
            QVAssinaInicializacao(regps);
            IQVGE_ASTMov* pIAssistec = nullptr;
            QV_CHECK(CriaAssistecErp(IID_IQVGE_ASTMov, reinterpret_cast<void**>(&pIAssistec)));
            if (const HRESULT hr = pIAssistec->Inicializa_Padrao(regps); FAILED(hr)) {
                pIAssistec->Release();
                QV_LOG_HR(hr, "pIAssistec->Inicializa_Padrao(regps)");
                return hr;
            }
            *ppIAssistec = pIAssistec;
            return S_OK;
        });
    }

    // ---- notices and e-mail ----

    // ---- reports ----

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

class AcessoEstoqueErp final : public IQVAcessoEstoque {
public:
    explicit AcessoEstoqueErp(SessaoErp& sessao) : m_sessao(sessao) {}

    HRESULT GravaPreBaixa(REG_QVDMC dmcChave, USHORT usFilial,
                          const CQVVector<CQVDadosES_PreBaixa>* parrBaixas) override {
        return Protegido([&]() -> HRESULT {
            if (parrBaixas == nullptr) QV_CHECK(E_POINTER);
            std::vector<REG_ES_PREBAIXAPS> registros;
            registros.reserve(parrBaixas->size());
            for (const CQVDadosES_PreBaixa& dados : *parrBaixas) registros.push_back(dados.GetRegistro());
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            QV_CHECK(banco->GravaPreBaixas(dmcChave, usFilial, registros));
            return S_OK;
        });
    }

    HRESULT ExcluiPreBaixa(REG_QVDMC dmcChave, USHORT usFilial) override {
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            QV_CHECK(banco->ExcluiPreBaixas(dmcChave, usFilial));
            return S_OK;
        });
    }

    // ---- purchase requests ----

    // ---- reports ----

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

}  // namespace

struct ProvedorErp::Conjunto {
    Conjunto(const CQVBaseParaRotinas& s, std::filesystem::path arquivo)
        : sessao(s, std::move(arquivo)), empresarial(sessao), gerenciador(sessao), estoque(sessao) {}
    SessaoErp sessao;
    AcessoEmpresarialErp empresarial;
    AcessoGerenciadorErp gerenciador;
    AcessoEstoqueErp estoque;
};

ProvedorErp& ProvedorErp::Instancia() {
    static auto* provedor = new ProvedorErp;
    return *provedor;
}

HRESULT ProvedorErp::Conecta(const CQVBaseParaRotinas& sessao, CQVAcessoServidores& acessos) {
    acessos = {};
    return Protegido([&]() -> HRESULT {
        // The session holds its own lock while it connects: nothing here may
        // ask it for its log context.
        std::filesystem::path arquivo;
        const HRESULT hr = ErpBanco::Caminho(sessao.CQVInicializador::GetEmpresa(), arquivo);
        if (FAILED(hr)) return hr;
        auto conjunto = std::make_unique<Conjunto>(sessao, std::move(arquivo));
        acessos.pEmpresarial = &conjunto->empresarial;
        acessos.pGerenciador = &conjunto->gerenciador;
        acessos.pEstoque = &conjunto->estoque;
        std::unique_ptr<Conjunto> anterior;
        {
            std::lock_guard lock(m_trava);
            std::unique_ptr<Conjunto>& vaga = m_sessoes[&sessao];
            anterior = std::move(vaga);
            vaga = std::move(conjunto);
        }
        return S_OK;
    });
}

void ProvedorErp::Desconecta(const CQVBaseParaRotinas& sessao) {
    std::unique_ptr<Conjunto> saindo;  // released after the lock: it may close the database
    std::lock_guard lock(m_trava);
    if (auto it = m_sessoes.find(&sessao); it != m_sessoes.end()) {
        saindo = std::move(it->second);
        m_sessoes.erase(it);
    }
}

std::size_t ProvedorErp::SessoesConectadas() {
    std::lock_guard lock(m_trava);
    return m_sessoes.size();
}

}  // namespace zenta

namespace {

// Installs the stand-in when the library is loaded.
const bool g_provedorErpInstalado = [] {
    QVRegistraProvedorAcesso(&zenta::ProvedorErp::Instancia());
    return true;
}();

}  // namespace
