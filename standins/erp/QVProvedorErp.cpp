#include "standins/erp/QVProvedorErp.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "access/QVBaseParaRotinas.h"
#include "platform/QVDiretorios.h"
#include "standins/erp/QVAssistecErp.h"
#include "standins/erp/QVEmailErp.h"
#include "access/QVDadosAcessoRelatorio.h"
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

// One lookup in a read transaction of the session's database, protected as
// every accessor operation is: `passos(db, achou)` runs the query and says
// whether it found its row; none found answers `seNaoAchou`.
template <class Sessao, class F>
HRESULT LeUmaLinha(Sessao& sessao, HRESULT seNaoAchou, F&& passos) noexcept {
    return Protegido([&]() -> HRESULT {
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(sessao.Banco(banco));
        bool achou = false;
        QV_CHECK(banco->Leitura([&](sqlite3* db) { return passos(db, achou); }));
        return achou ? S_OK : seNaoAchou;
    });
}

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

// A code the ERP passes as a 16-bit pointer; a code that does not fit is
// no pointer (0), never another one.
USHORT Ponteiro16(int64_t codigo) {
    return codigo > 0 && codigo <= 0xFFFF ? static_cast<USHORT>(codigo) : USHORT{0};
}

}  // namespace

// The stand-in keeps a unit's number of decimals (0 to 4); the ERP speaks
// of a decimal-places code: 0 whole units, 1 two decimals, 2 four. One or
// three decimals take the next code up, so no quantity loses digits.
USHORT CodigoCasasDecimais(int64_t casas) {
    if (casas <= 0) return 0;
    return casas <= 2 ? USHORT{1} : USHORT{2};
}

namespace {

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
    const CQVBaseParaRotinas& Base() const { return m_sessao; }
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
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, "SELECT tabela_preco FROM cliente WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({lCliente}, achou));
            if (achou && !consulta.Nulo(0)) {
                const int64_t tabela = consulta.Inteiro(0);
                if (tabela >= 1 && tabela <= 65535) pDados->usPonteiroTabelaPreco = static_cast<USHORT>(tabela);
            }
            return S_OK;
        });
    }

    HRESULT LePrecoProduto(const CQVPosicaoProduto& regPosicaops, USHORT usPonteiroTabelaPreco,
                           CQVDadosGE_Preco* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return LeUmaLinha(m_sessao, S_FALSE, [&](sqlite3* db, bool& achou) -> HRESULT {
            // The exact grade items first, then the product's price without grades.
            ErpComando consulta(db, "SELECT preco_venda, typeof(preco_venda) FROM preco_produto"
                                    " WHERE produto = ?1 AND tabela_preco = ?5 AND"
                                    " ((grade1 = ?2 AND grade2 = ?3 AND grade3 = ?4) OR"
                                    "  (grade1 = 0 AND grade2 = 0 AND grade3 = 0))"
                                    " ORDER BY grade1 = 0 AND grade2 = 0 AND grade3 = 0 LIMIT 1");
            QV_CHECK(consulta.PreparaEPassa({regPosicaops.lProduto, regPosicaops.lGrade1, regPosicaops.lGrade2, regPosicaops.lGrade3, usPonteiroTabelaPreco}, achou));
            if (achou) QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vPrecoVenda));
            return S_OK;
        });
    }

    HRESULT LeBufferServico(ULONG lServico, CQVDadosDF_Servico* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, "SELECT valor, typeof(valor) FROM servico WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({lServico}, achou));
            if (achou) QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vValor));
            return S_OK;
        });
    }

    HRESULT LeUsuario(USHORT usUsuario, CQVDadosDF_Usuario* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, "SELECT nome, coalesce(email, '') FROM usuario WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({usUsuario}, achou));
            if (achou) {
                pDados->sNome = consulta.Texto(0);
                pDados->sEmail = consulta.Texto(1);
            }
            return S_OK;
        });
    }

    // ---- purchase requests ----

    HRESULT LeProduto(ULONG lProduto, CQVDadosDF_Produto* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return Protegido([&]() -> HRESULT {
            bool achou = false;
            QV_CHECK(LeLinhaProduto(lProduto, *pDados, achou));
            return achou ? S_OK : kNaoEncontrado;
        });
    }

    HRESULT LeProdutoEx(const CQVPosicaoProduto& regPosicao, CQVDadosDF_ProdutoEx* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return Protegido([&]() -> HRESULT {
            bool achou = false;
            QV_CHECK(LeLinhaProduto(regPosicao.lProduto, *pDados, achou));
            if (!achou) return kNaoEncontrado;
            pDados->usGrade1 = Ponteiro16(regPosicao.lGrade1);
            pDados->usGrade2 = Ponteiro16(regPosicao.lGrade2);
            pDados->usGrade3 = Ponteiro16(regPosicao.lGrade3);
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            const ULONG grades[3] = {regPosicao.lGrade1, regPosicao.lGrade2, regPosicao.lGrade3};
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT nome FROM item_grade WHERE codigo = ?1");
                QV_CHECK(consulta.Prepara());
                for (int g = 0; g < 3; ++g) {
                    if (grades[g] == 0) continue;
                    QV_CHECK(consulta.Reinicia());
                    QV_CHECK(consulta.Liga(1, grades[g]));
                    bool linha = false;
                    QV_CHECK(consulta.Passo(linha));
                    if (linha) pDados->sDescricaoGrade[g] = consulta.Texto(0);
                }
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return S_OK;
        });
    }

    HRESULT LeServico(ULONG lServico, CQVDadosDF_Servico* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, "SELECT valor, typeof(valor), nome, coalesce(unidade, 0) FROM servico"
                                    " WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({lServico}, achou));
            if (!achou) return S_OK;
            QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vValor));
            pDados->sNome = consulta.Texto(2);
            pDados->usUnidadeMedida = Ponteiro16(consulta.Inteiro(3));
            return S_OK;
        });
    }

    HRESULT LeUnidadeMedida(USHORT usUnidade, CQVDadosDF_UnidadeMedida* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, "SELECT coalesce(sigla, ''), nome, coalesce(casas_decimais, 0)"
                                    " FROM unidade_medida WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({usUnidade}, achou));
            if (!achou) return S_OK;
            pDados->sSigla = consulta.Texto(0);
            pDados->sNome = consulta.Texto(1);
            pDados->usCasasDecimais = CodigoCasasDecimais(consulta.Inteiro(2));
            return S_OK;
        });
    }
    // Products and services keep their units in the one table.
    HRESULT LeUnidadeMedidaProduto(USHORT usUnidade, CQVDadosDF_UnidadeMedidaProduto* pDados) override {
        return LeUnidadeMedida(usUnidade, pDados);
    }
    HRESULT LeUnidadeMedidaServico(USHORT usUnidade, CQVDadosDF_UnidadeMedidaServico* pDados) override {
        return LeUnidadeMedida(usUnidade, pDados);
    }

    HRESULT LeReposicaoProduto(const CQVKeyReposicaoProduto& key, CQVDadosDF_ReposicaoProduto* pDados,
                               BOOL* pbAchou) override {
        if (pDados == nullptr || pbAchou == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        *pbAchou = FALSE;
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            bool achou = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT estoque_minimo, typeof(estoque_minimo), ponto_pedido,"
                                        " typeof(ponto_pedido) FROM reposicao_produto WHERE produto = ?1"
                                        " AND grade1 = ?2 AND grade2 = ?3 AND grade3 = ?4 AND filial = ?5");
                QV_CHECK(consulta.PreparaEPassa({key.lProduto, key.usGrade1, key.usGrade2, key.usGrade3, key.usFilial}, achou));
                if (!achou) return S_OK;
                QV_CHECK(MoedaDoBanco(consulta, 0, pDados->vEstoqueMinimo));
                QV_CHECK(MoedaDoBanco(consulta, 2, pDados->vPontoPedidoReposicao));
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            *pbAchou = achou ? TRUE : FALSE;
            return S_OK;
        });
    }

    // ---- notices and e-mail ----

    HRESULT EnviaEmail(const CQVDadosEmail& dadosEmail) override {
        if (dadosEmail.destinatarios.empty()) QV_CHECK(E_INVALIDARG);
        return Protegido([&]() -> HRESULT {
            EnvioEmailErp envio(m_sessao.QVProfilerDoEscopo());
            QV_CHECK(envio.Envia(m_sessao.Empresa(), dadosEmail));
            return S_OK;
        });
    }

    HRESULT ReenviaEmailsPendentes() override {
        return Protegido([&]() -> HRESULT {
            EnvioEmailErp envio(m_sessao.QVProfilerDoEscopo());
            QV_CHECK(envio.ReenviaCaixaSaida(m_sessao.Empresa()));
            return S_OK;
        });
    }

    // ---- reports ----

    // Reads the columns of the one row that `sql` finds for `codigo` (bound
    // as ?1) into `textos` in order, NULL as "". S_FALSE when there is no
    // row. Shared by the report reads of the three accessors; the caller
    // logs a failure.
    static HRESULT LeTextosRelatorio(SessaoErp& sessao, const char* sql, ULONG codigo,
                                     std::initializer_list<std::string*> textos) {
        for (std::string* texto : textos) texto->clear();
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            HRESULT hr = sessao.Banco(banco);
            if (FAILED(hr)) return hr;
            bool achou = false;
            hr = banco->Leitura([&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, sql);
                HRESULT hrPasso = consulta.Prepara();
                if (SUCCEEDED(hrPasso)) hrPasso = consulta.Liga(1, codigo);
                if (SUCCEEDED(hrPasso)) hrPasso = consulta.Passo(achou);
                if (FAILED(hrPasso) || !achou) return hrPasso;
                int coluna = 0;
                for (std::string* texto : textos) {
                    if (!consulta.Nulo(coluna)) *texto = consulta.Texto(coluna);
                    ++coluna;
                }
                return S_OK;
            });
            if (FAILED(hr)) return hr;
            return achou ? S_OK : S_FALSE;
        });
    }

    HRESULT LeFilial(ULONG lFilial, CQVDadosDF_Filial* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        pDados->lFilial = lFilial;
        const HRESULT hr =
            LeTextosRelatorio(m_sessao, "SELECT nome FROM filial WHERE codigo = ?1", lFilial, {&pDados->sNome});
        if (FAILED(hr)) QV_LOG_HR(hr, "LeTextosRelatorio(filial)");
        return hr == S_FALSE ? kNaoEncontrado : hr;
    }

    HRESULT LeClienteComercial(ULONG lCliente, CQVDadosDF_ClienteComercial* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        pDados->lCliente = lCliente;
        const HRESULT hr = LeTextosRelatorio(
            m_sessao,
            "SELECT cc.nome_curto, coalesce(cc.nome, c.nome) FROM cliente c"
            " LEFT JOIN cliente_comercial cc ON cc.codigo = c.codigo WHERE c.codigo = ?1",
            lCliente, {&pDados->sNomeCurto, &pDados->sRazaoSocial});
        if (FAILED(hr)) QV_LOG_HR(hr, "LeTextosRelatorio(cliente_comercial)");
        return hr == S_FALSE ? kNaoEncontrado : hr;
    }

private:
    // The product's name and stock unit; grade pointers stay 0.
    HRESULT LeLinhaProduto(ULONG lProduto, CQVDadosDF_Produto& dados, bool& achou) {
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(m_sessao.Banco(banco));
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando consulta(db, "SELECT nome, coalesce(unidade, 0) FROM produto WHERE codigo = ?1");
            QV_CHECK(consulta.PreparaEPassa({lProduto}, achou));
            if (!achou) return S_OK;
            dados.lProduto = lProduto;
            dados.sNome = consulta.Texto(0);
            dados.usUnidadeMedidaEstoque = Ponteiro16(consulta.Inteiro(1));
            return S_OK;
        };
        QV_CHECK(banco->Leitura(passos));
        return S_OK;
    }

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
            const _REG_DF_INICIALIZAPS regps = ProfilerToRegInicializaPS(&m_sessao.Base());
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

    HRESULT LeBufferEquipamentoAST(ULONG lEquipamento, std::string* psNome) override {
        return LeNomeCadastro("SELECT nome FROM equipamento WHERE codigo = ?1", lEquipamento, psNome);
    }
    HRESULT LeBufferMarcaAST(ULONG lMarca, std::string* psNome) override {
        return LeNomeCadastro("SELECT nome FROM marca WHERE codigo = ?1", lMarca, psNome);
    }
    HRESULT LeBufferModeloAST(ULONG lModelo, std::string* psNome) override {
        return LeNomeCadastro("SELECT nome FROM modelo WHERE codigo = ?1", lModelo, psNome);
    }
    HRESULT LeBufferTipoAST(ULONG lTipo, std::string* psNome) override {
        return LeNomeCadastro("SELECT nome FROM tipo_equipamento WHERE codigo = ?1", lTipo, psNome);
    }

    // The name column of the one row `sql` finds for `codigo` (bound as ?1);
    // code 0 is no record and an empty name.
    HRESULT LeNomeCadastro(const char* sql, ULONG codigo, std::string* psNome) {
        if (psNome == nullptr) QV_CHECK(E_POINTER);
        psNome->clear();
        if (codigo == 0) return S_OK;
        return LeUmaLinha(m_sessao, kNaoEncontrado, [&](sqlite3* db, bool& achou) -> HRESULT {
            ErpComando consulta(db, sql);
            QV_CHECK(consulta.PreparaEPassa({codigo}, achou));
            if (achou) *psNome = consulta.Texto(0);
            return S_OK;
        });
    }

    // ---- reports ----

    HRESULT LeCadastroEquipamento(ULONG lEquipamento, CQVDadosGE_CadEquipamento* pDados) override {
        if (pDados == nullptr) QV_CHECK(E_POINTER);
        *pDados = {};
        pDados->lEquipamento = lEquipamento;
        const HRESULT hr = AcessoEmpresarialErp::LeTextosRelatorio(
            m_sessao, "SELECT referencia, nome FROM equipamento_cadastro WHERE codigo = ?1", lEquipamento,
            {&pDados->sReferencia, &pDados->sDescricao});
        if (FAILED(hr)) QV_LOG_HR(hr, "LeTextosRelatorio(equipamento_cadastro)");
        return hr == S_FALSE ? kNaoEncontrado : hr;
    }

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

// The stock module's balances, on the company's database.
class MovimentoEstoqueErp final : public IQVES_Movimento {
public:
    explicit MovimentoEstoqueErp(std::shared_ptr<ErpBanco> banco) : m_banco(std::move(banco)) {}
    virtual ~MovimentoEstoqueErp() = default;

    ULONG AddRef() override { return ++m_cRef; }
    ULONG Release() override {
        const ULONG restantes = --m_cRef;
        if (restantes == 0) delete this;
        return restantes;
    }

    HRESULT LeSaldo(const REG_ES_KEY_SALDOS_PS& regKeySaldos, REG_ES_SALDOS_PS* pRegSaldos) override {
        if (pRegSaldos == nullptr) return E_POINTER;
        std::memset(static_cast<void*>(pRegSaldos), 0, sizeof *pRegSaldos);
        return Protegido([&]() -> HRESULT {
            CY saldo{};
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT saldo, typeof(saldo) FROM saldo_estoque WHERE produto = ?1"
                                        " AND grade1 = ?2 AND grade2 = ?3 AND grade3 = ?4 AND filial = ?5");
                QV_CHECK(consulta.Prepara());
                QV_CHECK(consulta.Liga(1, regKeySaldos.lProduto));
                QV_CHECK(consulta.Liga(2, regKeySaldos.usGrade1));
                QV_CHECK(consulta.Liga(3, regKeySaldos.usGrade2));
                QV_CHECK(consulta.Liga(4, regKeySaldos.usGrade3));
                QV_CHECK(consulta.Liga(5, regKeySaldos.usFilial));
                bool achou = false;
                QV_CHECK(consulta.Passo(achou));
                if (achou) QV_CHECK(MoedaDoBanco(consulta, 0, saldo));
                return S_OK;
            };
            QV_CHECK(m_banco->Leitura(passos));
            std::memcpy(&pRegSaldos->vSaldo, &saldo, sizeof saldo);
            return S_OK;
        });
    }

private:
    // Error-log lines of the stock module name no session.
    static CQVContextoProfiler QVProfilerDoEscopo() { return ::zenta::QVProfilerDoEscopo(); }

    std::atomic<ULONG> m_cRef{1};
    std::shared_ptr<ErpBanco> m_banco;
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

    HRESULT GetIESMovimento(IQVES_Movimento*& pIESMovimento) override {
        pIESMovimento = nullptr;
        return Protegido([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(m_sessao.Banco(banco));
            pIESMovimento = new MovimentoEstoqueErp(std::move(banco));
            return S_OK;
        });
    }

    // ---- reports ----

    HRESULT LeLocal(ULONG lLocal, CQVDadosES_Local* pLocal, ULONG /*ulFlags*/) override {
        if (pLocal == nullptr) QV_CHECK(E_POINTER);
        *pLocal = {};
        pLocal->lLocal = lLocal;
        const HRESULT hr = AcessoEmpresarialErp::LeTextosRelatorio(
            m_sessao, "SELECT nome FROM local_estoque WHERE codigo = ?1", lLocal, {&pLocal->sNome});
        if (FAILED(hr)) QV_LOG_HR(hr, "LeTextosRelatorio(local_estoque)");
        return hr == S_FALSE ? kNaoEncontrado : hr;
    }

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

namespace {

// Installs the stand-in when the library is loaded.
const bool g_provedorErpInstalado = [] {
    QVRegistraProvedorAcesso(&zenta::ProvedorErp::Instancia());
    return true;
}();

}  // namespace

}  // namespace zenta
