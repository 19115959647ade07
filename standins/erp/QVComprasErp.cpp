// The purchasing server of the ERP stand-in. A request is stored as its
// record with the item pointer zeroed and one row per item with the
// module's pointer zeroed; keys are movement keys of the request's date
// with a pointer counted over the company.
#include "standins/erp/QVComprasErp.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>

#include "standins/erp/QVErpBanco.h"
#include "standins/erp/QVServidorErp.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVCodigosErro.h"
#include "platform/QVClassTable.h"
#include "values/QVDMC.h"

namespace zenta {

namespace {

HRESULT Corrompido() { return HresultDeSqlite(SQLITE_CORRUPT); }

int64_t ComoInteiro(ULONGLONG chave) {
    int64_t v;
    std::memcpy(&v, &chave, sizeof v);
    return v;
}
ULONGLONG ComoChave(int64_t v) {
    ULONGLONG chave;
    std::memcpy(&chave, &v, sizeof chave);
    return chave;
}

// The stored request of `chave` with its items; `achou` false when none.
HRESULT LeSolicitacao(sqlite3* db, ULONGLONG chave, bool& achou, SolicitacaoCompraErp& s) {
    s = {};
    ErpComando consulta(db, "SELECT pode_alterar, registro FROM solicitacao_compra WHERE chave = ?1");
    QV_CHECK(consulta.PreparaEPassa({ComoInteiro(chave)}, achou));
    if (!achou) return S_OK;
    s.chave = chave;
    s.podeAlterar = consulta.Inteiro(0) != 0;
    const std::string_view registro = consulta.Blob(1);
    if (registro.size() != sizeof s.registro) return Corrompido();
    std::memcpy(static_cast<void*>(&s.registro), registro.data(), sizeof s.registro);
    s.registro.pItens = nullptr;

    ErpComando itens(db, "SELECT registro FROM solicitacao_compra_item WHERE chave = ?1 ORDER BY ordem");
    QV_CHECK(itens.Prepara());
    QV_CHECK(itens.Liga(1, ComoInteiro(chave)));
    for (bool linha = false;;) {
        QV_CHECK(itens.Passo(linha));
        if (!linha) break;
        const std::string_view bloco = itens.Blob(0);
        if (bloco.size() != sizeof(REG_CM_ITEM_SOLICITACAO_PS)) return Corrompido();
        REG_CM_ITEM_SOLICITACAO_PS item;
        std::memcpy(static_cast<void*>(&item), bloco.data(), sizeof item);
        item.pExtra = nullptr;
        s.itens.push_back(item);
    }
    // The count in the record is the items stored, whatever the file says.
    if (s.itens.size() > 0xFFFFu) return Corrompido();
    s.registro.usQtdItens = static_cast<USHORT>(s.itens.size());
    return S_OK;
}

HRESULT AbreBanco(std::string_view empresa, std::shared_ptr<ErpBanco>& banco) {
    std::filesystem::path arquivo;
    QV_CHECK(ErpBanco::Caminho(empresa, arquivo));
    QV_CHECK(ErpBanco::Compartilhado(arquivo, banco));
    return S_OK;
}

class CQVComprasErp final : public CServidorErp<IQVCM_SolicitacaoCompra, IID_IQVUnknown, IID_IQVCM_SolicitacaoCompra> {
public:
    HRESULT STDMETHODCALLTYPE KeepAlive(LONG* pbOK) override {
        if (pbOK == nullptr) return E_POINTER;
        *pbOK = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUltimoErro(_REG_DF_ERROPS*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FuncaoGenerica(ULONG, _REG_CR_LISTA_BYTESPS, _REG_CR_LISTA_BYTESPS** ppregOutps) override {
        if (ppregOutps != nullptr) *ppregOutps = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaCadastro(ULONG, ULONG*, ULONG, _REG_CR_ALTERACAOPS*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AlteracaoMultiplaMovimento(ULONG, ULONGLONG*, ULONG, _REG_CR_ALTERACAOPS*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CadastroTeveMovimentacao(ULONG, ULONG, LONG* pbTeveMovimentacao) override {
        if (pbTeveMovimentacao != nullptr) *pbTeveMovimentacao = 0;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE LeLista(_REG_LISTA_DMC_PS regChaves, REG_CM_LISTA_SOLICITACAO_PS* pRegLista) override {
        if (pRegLista == nullptr) QV_CHECK(E_POINTER);
        *pRegLista = {};
        if (regChaves.lQtdDMC > kMaxChavesListaSolicitacoes || (regChaves.lQtdDMC != 0 && regChaves.pDMC == nullptr))
            QV_CHECK(E_INVALIDARG);
        REG_CM_LISTA_SOLICITACAO_PS lista{};
        const HRESULT hr = ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            if (regChaves.lQtdDMC == 0) return S_OK;
            lista.pSolicitacoes = static_cast<REG_CM_SOLICITACAO_COMPRA_PS*>(
                CoTaskMemAlloc(sizeof(REG_CM_SOLICITACAO_COMPRA_PS) * regChaves.lQtdDMC));
            if (lista.pSolicitacoes == nullptr) return E_OUTOFMEMORY;
            std::memset(static_cast<void*>(lista.pSolicitacoes), 0,
                        sizeof(REG_CM_SOLICITACAO_COMPRA_PS) * regChaves.lQtdDMC);
            lista.lQtdSolicitacoes = regChaves.lQtdDMC;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                for (ULONG i = 0; i < regChaves.lQtdDMC; ++i) {
                    SolicitacaoCompraErp s;
                    bool achou = false;
                    QV_CHECK(LeSolicitacao(db, regChaves.pDMC[i], achou, s));
                    REG_CM_SOLICITACAO_COMPRA_PS& destino = lista.pSolicitacoes[i];
                    if (!achou) continue;
                    destino = s.registro;
                    destino.usQtdItens = 0;
                    if (s.itens.empty()) continue;
                    const std::size_t bytes = sizeof(REG_CM_ITEM_SOLICITACAO_PS) * s.itens.size();
                    destino.pItens = static_cast<REG_CM_ITEM_SOLICITACAO_PS*>(CoTaskMemAlloc(bytes));
                    if (destino.pItens == nullptr) return E_OUTOFMEMORY;
                    std::memcpy(static_cast<void*>(destino.pItens), s.itens.data(), bytes);
                    destino.usQtdItens = static_cast<USHORT>(s.itens.size());
                }
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return S_OK;
        });
        if (FAILED(hr)) {
            LiberaListaSolicitacoes(lista);
            return hr;
        }
        *pRegLista = lista;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Integracao_Inclui(REG_CM_SOLICITACAO_COMPRA_PS regSolicitacao,
                                                ULONGLONG* prChaveOut) override {
        if (prChaveOut == nullptr) QV_CHECK(E_POINTER);
        *prChaveOut = 0;
        if (regSolicitacao.usQtdItens != 0 && regSolicitacao.pItens == nullptr) QV_CHECK(E_INVALIDARG);
        return ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            const REG_CM_ITEM_SOLICITACAO_PS* itens = regSolicitacao.pItens;
            REG_CM_SOLICITACAO_COMPRA_PS registro = regSolicitacao;
            registro.pItens = nullptr;
            ULONGLONG chave = 0;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                // The table's sequence: a deleted request's pointer is never
                // given again, so its key never names another request.
                ErpComando proximo(db, "SELECT coalesce((SELECT seq FROM sqlite_sequence"
                                       " WHERE name = 'solicitacao_compra'), 0) + 1");
                QV_CHECK(proximo.Prepara());
                bool linha = false;
                QV_CHECK(proximo.Passo(linha));
                const int64_t ponteiro = linha ? proximo.Inteiro(0) : 1;
                if (ponteiro < 1 || ponteiro > 0xFFFFFFFFll) return HresultDeSqlite(SQLITE_FULL);
                REG_QVDMC dmc;
                dmc.SetDMCData(static_cast<ULONG>(ponteiro), kTipoMovimentoSolicitacaoCompra, REG_QVDMA::Hoje());
                chave = dmc.Get64();

                ErpComando insere(db,
                                  "INSERT INTO solicitacao_compra (chave, ponteiro, pode_alterar, origem, registro)"
                                  " VALUES (?1, ?2, 1, ?3, ?4)");
                QV_CHECK(insere.Prepara());
                QV_CHECK(insere.Liga(1, ComoInteiro(chave)));
                QV_CHECK(insere.Liga(2, ponteiro));
                QV_CHECK(insere.Liga(3, ComoInteiro(registro.dmcOrigem)));
                QV_CHECK(insere.LigaBlob(4, &registro, sizeof registro));
                QV_CHECK(insere.Executa());

                ErpComando item(db, "INSERT INTO solicitacao_compra_item (chave, ordem, registro) VALUES (?1, ?2, ?3)");
                QV_CHECK(item.Prepara());
                for (USHORT i = 0; i < regSolicitacao.usQtdItens; ++i) {
                    REG_CM_ITEM_SOLICITACAO_PS copia = itens[i];
                    copia.pExtra = nullptr;
                    QV_CHECK(item.Reinicia());
                    QV_CHECK(item.Liga(1, ComoInteiro(chave)));
                    QV_CHECK(item.Liga(2, i));
                    QV_CHECK(item.LigaBlob(3, &copia, sizeof copia));
                    QV_CHECK(item.Executa());
                }
                return S_OK;
            };
            QV_CHECK(banco->Transacao(passos));
            *prChaveOut = chave;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Integracao_Excluir(ULONGLONG dmcSolicitacao) override {
        return ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            bool travada = false;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando estado(db, "SELECT pode_alterar FROM solicitacao_compra WHERE chave = ?1");
                QV_CHECK(estado.Prepara());
                QV_CHECK(estado.Liga(1, ComoInteiro(dmcSolicitacao)));
                bool achou = false;
                QV_CHECK(estado.Passo(achou));
                if (!achou) return S_OK;
                if (estado.Inteiro(0) == 0) {
                    travada = true;
                    return S_OK;
                }
                ErpComando exclui(db, "DELETE FROM solicitacao_compra WHERE chave = ?1");
                QV_CHECK(exclui.Prepara());
                QV_CHECK(exclui.Liga(1, ComoInteiro(dmcSolicitacao)));
                QV_CHECK(exclui.Executa());
                return S_OK;
            };
            QV_CHECK(banco->Transacao(passos));
            // Purchasing keeps what it took over.
            if (travada) QV_CHECK(E_ACCESSDENIED);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Integracao_PodeAlterar(ULONGLONG dmcSolicitacao, LONG* pbPodeAlterar) override {
        if (pbPodeAlterar == nullptr) QV_CHECK(E_POINTER);
        *pbPodeAlterar = 0;
        return ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            LONG pode = 1;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando estado(db, "SELECT pode_alterar FROM solicitacao_compra WHERE chave = ?1");
                QV_CHECK(estado.Prepara());
                QV_CHECK(estado.Liga(1, ComoInteiro(dmcSolicitacao)));
                bool achou = false;
                QV_CHECK(estado.Passo(achou));
                if (achou) pode = estado.Inteiro(0) != 0 ? 1 : 0;
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            *pbPodeAlterar = pode;
            return S_OK;
        });
    }
};

}  // namespace

HRESULT CriaComprasErp(REFIID riid, void** ppv) { return CriaServidorErp<CQVComprasErp>(riid, ppv); }

HRESULT ListaSolicitacoesCompraErp(std::string_view empresa, ULONGLONG origem,
                                   std::vector<SolicitacaoCompraErp>& solicitacoes) {
    solicitacoes.clear();
    return ProtegidoErp([&]() -> HRESULT {
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(AbreBanco(empresa, banco));
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando chaves(db, origem == 0 ? "SELECT chave FROM solicitacao_compra ORDER BY ponteiro"
                                              : "SELECT chave FROM solicitacao_compra WHERE origem = ?1 ORDER BY ponteiro");
            QV_CHECK(chaves.Prepara());
            if (origem != 0) QV_CHECK(chaves.Liga(1, ComoInteiro(origem)));
            std::vector<ULONGLONG> lidas;
            for (bool linha = false;;) {
                QV_CHECK(chaves.Passo(linha));
                if (!linha) break;
                lidas.push_back(ComoChave(chaves.Inteiro(0)));
            }
            for (const ULONGLONG chave : lidas) {
                SolicitacaoCompraErp s;
                bool achou = false;
                QV_CHECK(LeSolicitacao(db, chave, achou, s));
                if (achou) solicitacoes.push_back(std::move(s));
            }
            return S_OK;
        };
        QV_CHECK(banco->Leitura(passos));
        return S_OK;
    });
}

HRESULT TornaSolicitacaoInalteravelErp(std::string_view empresa, ULONGLONG chave) {
    return ProtegidoErp([&]() -> HRESULT {
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(AbreBanco(empresa, banco));
        bool achou = false;
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando trava(db, "UPDATE solicitacao_compra SET pode_alterar = 0 WHERE chave = ?1");
            QV_CHECK(trava.Prepara());
            QV_CHECK(trava.Liga(1, ComoInteiro(chave)));
            QV_CHECK(trava.Executa());
            achou = sqlite3_changes(db) > 0;
            return S_OK;
        };
        QV_CHECK(banco->Transacao(passos));
        return achou ? S_OK : S_FALSE;
    });
}

namespace {

// Registers the class when the library is loaded.
const bool g_comprasErpRegistrada = [] {
    static zenta::CFabricaErp<zenta::CriaComprasErp> fabrica;
    zenta::RegistraClasseInproc(CLSID_QVCM_SolicitacaoCompra, &fabrica);
    return true;
}();

}  // namespace

}  // namespace zenta
