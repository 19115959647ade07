#include "access/erp/QVProvedorErp.h"

#include <cstdio>
#include <new>
#include <string>

#include "access/QVBaseParaRotinas.h"
#include "diagnostics/QVCheck.h"
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
          m_usUsuario(sessao.CQVInicializador::GetUsuario()),
          m_lSessao(sessao.CQVInicializador::GetNumeroSessao()) {}

    HRESULT Banco(std::shared_ptr<ErpBanco>& banco) {
        std::lock_guard lock(m_trava);
        if (!m_banco) QV_CHECK(ErpBanco::Compartilhado(m_arquivo, m_banco));
        banco = m_banco;
        return S_OK;
    }
    USHORT Usuario() const { return m_usUsuario; }
    LONG Sessao() const { return m_lSessao; }
    // Error-log lines of the accessors are the session's.
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }

private:
    const CQVBaseParaRotinas& m_sessao;
    const std::filesystem::path m_arquivo;
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

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

class AcessoGerenciadorErp final : public IQVAcessoGerenciador {};

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

private:
    CQVContextoProfiler QVProfilerDoEscopo() const { return m_sessao.QVProfilerDoEscopo(); }
    SessaoErp& m_sessao;
};

}  // namespace

struct ProvedorErp::Conjunto {
    Conjunto(const CQVBaseParaRotinas& s, std::filesystem::path arquivo)
        : sessao(s, std::move(arquivo)), empresarial(sessao), estoque(sessao) {}
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
