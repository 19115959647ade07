// The technical-assistance server of the ERP stand-in. A service order is
// stored as its record (pointers zeroed), its equipment block, the serial
// number's UTF-16 units and one blob with its technician sections, each
// followed by its items, each item followed by its locations; the counts in
// the stored blocks tell the sizes, and are checked again on the way out
// since the file may have been changed by other means.
#include "standins/erp/QVAssistecErp.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

#include "platform/QVDiretorios.h"
#include "standins/erp/QVErpBanco.h"
#include "standins/erp/QVServidorErp.h"
#include "diagnostics/QVCheck.h"
#include "diagnostics/QVCodigosErro.h"
#include "platform/QVClassTable.h"
#include "values/QVMesAno.h"

namespace zenta {

namespace {

const HRESULT kNaoEncontrado = HRESULT_FROM_WIN32(1168u);  // ERROR_NOT_FOUND

HRESULT Corrompido() { return HresultDeSqlite(SQLITE_CORRUPT); }

// ---- Blocks to bytes ---------------------------------------------------------

template <class T>
void Acrescenta(std::string& saida, const T& bloco) {
    saida.append(reinterpret_cast<const char*>(&bloco), sizeof bloco);
}

// The technician sections with their items and locations as one blob, after
// checking every count against its array and the limits.
HRESULT SerializaTecnicos(const REG_AST_ORDEM_SERVICO_PS& os, std::string& saida) {
    saida.clear();
    if (os.lQtdTecnicos > kMaxTecnicosOrdemServico) return E_INVALIDARG;
    if (os.lQtdTecnicos != 0 && os.pTecnicos == nullptr) return E_INVALIDARG;
    for (ULONG t = 0; t < os.lQtdTecnicos; ++t) {
        REG_AST_TECNICO_PS tecnico = os.pTecnicos[t];
        if (tecnico.lQtdItens > kMaxItensTecnicoOrdemServico) return E_INVALIDARG;
        if (tecnico.lQtdItens != 0 && tecnico.pItens == nullptr) return E_INVALIDARG;
        const REG_AST_ITEM_PS* itens = tecnico.pItens;
        tecnico.pItens = nullptr;
        Acrescenta(saida, tecnico);
        for (ULONG i = 0; i < tecnico.lQtdItens; ++i) {
            REG_AST_ITEM_PS item = itens[i];
            if (item.lQtdLocais > kMaxLocaisItemOrdemServico) return E_INVALIDARG;
            if (item.lQtdLocais != 0 && item.pLocais == nullptr) return E_INVALIDARG;
            const REG_AST_LOCAL_PS* locais = item.pLocais;
            item.pLocais = nullptr;
            Acrescenta(saida, item);
            for (ULONG l = 0; l < item.lQtdLocais; ++l) Acrescenta(saida, locais[l]);
            if (saida.size() > kMaxBytesBlocosOrdemServico) return E_INVALIDARG;
        }
    }
    return S_OK;
}

// Reads the next block of the blob; false when it is too short.
template <class T>
bool Proximo(std::string_view& dados, T& bloco) {
    if (dados.size() < sizeof bloco) return false;
    std::memcpy(static_cast<void*>(&bloco), dados.data(), sizeof bloco);
    dados.remove_prefix(sizeof bloco);
    return true;
}

// Allocates `n` zeroed blocks with the task allocator.
template <class T>
HRESULT Aloca(ULONG n, T*& p) {
    p = nullptr;
    if (n == 0) return S_OK;
    void* memoria = CoTaskMemAlloc(static_cast<std::size_t>(n) * sizeof(T));
    if (memoria == nullptr) return E_OUTOFMEMORY;
    std::memset(memoria, 0, static_cast<std::size_t>(n) * sizeof(T));
    p = static_cast<T*>(memoria);
    return S_OK;
}

// Rebuilds the sections of a stored order into `os` (whose lQtdTecnicos
// is the stored count). On failure what was built stays in `os`, with
// counts that match it, for the caller to free.
HRESULT DesserializaTecnicos(std::string_view dados, REG_AST_ORDEM_SERVICO_PS& os) {
    const ULONG quantidade = os.lQtdTecnicos;
    os.lQtdTecnicos = 0;
    os.pTecnicos = nullptr;
    if (quantidade > kMaxTecnicosOrdemServico) return Corrompido();
    if (dados.size() < static_cast<std::size_t>(quantidade) * sizeof(REG_AST_TECNICO_PS)) return Corrompido();
    QV_CHECK(Aloca(quantidade, os.pTecnicos));
    os.lQtdTecnicos = quantidade;
    for (ULONG t = 0; t < quantidade; ++t) {
        REG_AST_TECNICO_PS& tecnico = os.pTecnicos[t];
        REG_AST_TECNICO_PS lido{};
        if (!Proximo(dados, lido)) return Corrompido();
        const ULONG itens = lido.lQtdItens;
        lido.lQtdItens = 0;
        lido.pItens = nullptr;
        tecnico = lido;
        if (itens > kMaxItensTecnicoOrdemServico) return Corrompido();
        if (dados.size() < static_cast<std::size_t>(itens) * sizeof(REG_AST_ITEM_PS)) return Corrompido();
        QV_CHECK(Aloca(itens, tecnico.pItens));
        tecnico.lQtdItens = itens;
        for (ULONG i = 0; i < itens; ++i) {
            REG_AST_ITEM_PS& item = tecnico.pItens[i];
            if (!Proximo(dados, item)) return Corrompido();
            item.pLocais = nullptr;
            if (item.lQtdLocais > kMaxLocaisItemOrdemServico) return Corrompido();
            if (dados.size() < static_cast<std::size_t>(item.lQtdLocais) * sizeof(REG_AST_LOCAL_PS))
                return Corrompido();
            QV_CHECK(Aloca(item.lQtdLocais, item.pLocais));
            for (ULONG l = 0; l < item.lQtdLocais; ++l)
                if (!Proximo(dados, item.pLocais[l])) return Corrompido();
        }
    }
    if (!dados.empty()) return Corrompido();
    return S_OK;
}

// Whether the record itself says the order is closed.
bool FechadaNoRegistro(const REG_AST_ORDEM_SERVICO_PS& os) { return os.lSituacao != 1 || os.ucEncerrada != 0; }

// ---- The server object ---------------------------------------------------------

class CQVAssistecErp final : public CServidorErp<IQVGE_ASTMov, IID_IQVGE_ASTMov> {
public:

    HRESULT STDMETHODCALLTYPE BuscaRegistros(REG_AST_LISTA_CHAVES_PS regChaves,
                                             REG_AST_LISTA_ORDEM_SERVICO_PS* pRegListaRegistros,
                                             ULONG /*flags*/) override {
        if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
        *pRegListaRegistros = {};
        REG_AST_LISTA_ORDEM_SERVICO_PS lista{};
        const HRESULT hr = ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            if (regChaves.lQtdChaves > kMaxChavesBuscaOrdemServico) QV_CHECK(E_INVALIDARG);
            if (regChaves.lQtdChaves != 0 && regChaves.pChaves == nullptr) QV_CHECK(E_INVALIDARG);
            QV_CHECK(Aloca(regChaves.lQtdChaves, lista.pRegistros));
            lista.lQtdRegistros = regChaves.lQtdChaves;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                ErpComando consulta(db, "SELECT fechada, registro, equipamento, nr_serie, tecnicos"
                                        " FROM ordem_servico WHERE mes_ano = ?1 AND ponteiro = ?2");
                QV_CHECK(consulta.Prepara());
                for (ULONG i = 0; i < regChaves.lQtdChaves; ++i) {
                    const REG_AST_CHAVE_PS chave = regChaves.pChaves[i];
                    QV_CHECK(consulta.Liga(1, chave.maOS));
                    QV_CHECK(consulta.Liga(2, chave.lPtrOS));
                    bool linha = false;
                    QV_CHECK(consulta.Passo(linha));
                    QV_CHECK(LeLinha(consulta, linha, chave, lista.pRegistros[i]));
                    QV_CHECK(consulta.Reinicia());
                }
                return S_OK;
            };
            QV_CHECK(banco->Leitura(passos));
            return S_OK;
        });
        if (FAILED(hr)) {
            LiberaListaOrdemServico(lista);
            return hr;
        }
        *pRegListaRegistros = lista;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Grava(REG_AST_ORDEM_SERVICO_PS* pRegAst, ULONG /*flags*/, BOOL /*bValida*/) override {
        if (pRegAst == nullptr) QV_CHECK(E_POINTER);
        return ProtegidoErp([&]() -> HRESULT {
            std::shared_ptr<ErpBanco> banco;
            QV_CHECK(Banco(banco));
            REG_AST_ORDEM_SERVICO_PS registro = *pRegAst;
            std::string tecnicos;
            QV_CHECK(SerializaTecnicos(registro, tecnicos));
            std::string equipamento;
            std::u16string nrSerie;
            if (registro.pEquipamento != nullptr) {
                REG_AST_EQUIPAMENTO_PS bloco = *registro.pEquipamento;
                if (bloco.bsNrSerie != nullptr) {
                    const UINT unidades = SysStringLen(bloco.bsNrSerie);
                    if (unidades > kMaxNrSerieOrdemServico) QV_CHECK(E_INVALIDARG);
                    nrSerie.assign(bloco.bsNrSerie, unidades);
                }
                bloco.bsNrSerie = nullptr;
                Acrescenta(equipamento, bloco);
            }
            registro.pEquipamento = nullptr;
            registro.pTecnicos = nullptr;
            const bool fechada = FechadaNoRegistro(registro);

            USHORT ma = registro.maOS;
            ULONG ponteiro = registro.lPtrOS;
            const bool novo = ponteiro == 0;
            const auto passos = [&](sqlite3* db) -> HRESULT {
                if (novo) {
                    if (ma == 0 || ma > QVMA_MAXIMO) ma = QVMAAtual();
                    ErpComando proximo(db, "SELECT coalesce(max(ponteiro), 0) FROM ordem_servico WHERE mes_ano = ?1");
                    QV_CHECK(proximo.Prepara());
                    QV_CHECK(proximo.Liga(1, ma));
                    bool linha = false;
                    QV_CHECK(proximo.Passo(linha));
                    const int64_t ultimo = linha ? proximo.Inteiro(0) : 0;
                    if (ultimo < 0 || ultimo >= 0xFFFFFFFFLL) QV_CHECK(HRESULT_FROM_WIN32(112u));  // no pointer left
                    ponteiro = static_cast<ULONG>(ultimo + 1);
                } else if (ma == 0) {
                    QV_CHECK(E_INVALIDARG);
                }
                registro.maOS = ma;
                registro.lPtrOS = ponteiro;
                if (!novo) {
                    ErpComando existe(db, "SELECT 1 FROM ordem_servico WHERE mes_ano = ?1 AND ponteiro = ?2");
                    QV_CHECK(existe.Prepara());
                    QV_CHECK(existe.Liga(1, ma));
                    QV_CHECK(existe.Liga(2, ponteiro));
                    bool linha = false;
                    QV_CHECK(existe.Passo(linha));
                    if (!linha) QV_CHECK(kNaoEncontrado);
                }
                // A replaced order stays closed once closed.
                ErpComando grava(db, "INSERT INTO ordem_servico"
                                     " (mes_ano, ponteiro, fechada, registro, equipamento, nr_serie, tecnicos)"
                                     " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                                     " ON CONFLICT (mes_ano, ponteiro) DO UPDATE SET"
                                     " fechada = max(fechada, excluded.fechada), registro = excluded.registro,"
                                     " equipamento = excluded.equipamento, nr_serie = excluded.nr_serie,"
                                     " tecnicos = excluded.tecnicos");
                QV_CHECK(grava.Prepara());
                QV_CHECK(grava.Liga(1, ma));
                QV_CHECK(grava.Liga(2, ponteiro));
                QV_CHECK(grava.Liga(3, fechada ? 1 : 0));
                QV_CHECK(grava.LigaBlob(4, &registro, sizeof registro));
                if (equipamento.empty()) QV_CHECK(grava.LigaNulo(5));
                else QV_CHECK(grava.LigaBlob(5, equipamento.data(), equipamento.size()));
                if (nrSerie.empty()) QV_CHECK(grava.LigaNulo(6));
                else QV_CHECK(grava.LigaBlob(6, nrSerie.data(), nrSerie.size() * sizeof(char16_t)));
                QV_CHECK(grava.LigaBlob(7, tecnicos.data(), tecnicos.size()));
                QV_CHECK(grava.Executa());
                return S_OK;
            };
            QV_CHECK(banco->Transacao(passos));
            pRegAst->maOS = ma;
            pRegAst->lPtrOS = ponteiro;
            return S_OK;
        });
    }

private:

    // One stored order (or, for a key the module does not hold, an empty
    // closed record with the key: the caller gets one record per key and
    // leaves it alone).
    static HRESULT LeLinha(const ErpComando& consulta, bool linha, const REG_AST_CHAVE_PS& chave,
                           REG_AST_ORDEM_SERVICO_PS& os) {
        std::memset(static_cast<void*>(&os), 0, sizeof os);
        os.maOS = chave.maOS;
        os.lPtrOS = chave.lPtrOS;
        if (!linha) {
            os.ucEncerrada = 1;
            return S_OK;
        }
        const std::string_view registro = consulta.Blob(1);
        if (registro.size() != sizeof os) return Corrompido();
        std::memcpy(static_cast<void*>(&os), registro.data(), sizeof os);
        os.maOS = chave.maOS;
        os.lPtrOS = chave.lPtrOS;
        os.pEquipamento = nullptr;
        if (consulta.Inteiro(0) != 0) os.ucEncerrada = 1;
        const std::string_view tecnicos = consulta.Blob(4);
        os.pTecnicos = nullptr;
        if (const HRESULT hr = DesserializaTecnicos(tecnicos, os); FAILED(hr)) return hr;
        if (!consulta.Nulo(2)) {
            const std::string_view equipamento = consulta.Blob(2);
            if (equipamento.size() != sizeof(REG_AST_EQUIPAMENTO_PS)) return Corrompido();
            REG_AST_EQUIPAMENTO_PS* bloco = nullptr;
            if (const HRESULT hr = Aloca(1, bloco); FAILED(hr)) return hr;
            std::memcpy(static_cast<void*>(bloco), equipamento.data(), sizeof *bloco);
            bloco->bsNrSerie = nullptr;
            os.pEquipamento = bloco;
            const std::string_view serie = consulta.Nulo(3) ? std::string_view() : consulta.Blob(3);
            if (serie.size() % sizeof(char16_t) != 0 || serie.size() / sizeof(char16_t) > kMaxNrSerieOrdemServico)
                return Corrompido();
            if (!serie.empty()) {
                std::u16string unidades(serie.size() / sizeof(char16_t), u'\0');
                std::memcpy(unidades.data(), serie.data(), serie.size());
                bloco->bsNrSerie = SysAllocStringLen(unidades.data(), static_cast<UINT>(unidades.size()));
                if (bloco->bsNrSerie == nullptr) return E_OUTOFMEMORY;
            }
        }
        return S_OK;
    }
};

}  // namespace

HRESULT CriaAssistecErp(REFIID riid, void** ppv) { return CriaServidorErp<CQVAssistecErp>(riid, ppv); }

HRESULT FechaOrdemServicoErp(std::string_view empresa, USHORT maOS, ULONG lPtrOS) {
    try {
        std::filesystem::path arquivo;
        QV_CHECK(ErpBanco::Caminho(empresa, arquivo));
        std::shared_ptr<ErpBanco> banco;
        QV_CHECK(ErpBanco::Compartilhado(arquivo, banco));
        bool achou = false;
        const auto passos = [&](sqlite3* db) -> HRESULT {
            ErpComando fecha(db, "UPDATE ordem_servico SET fechada = 1 WHERE mes_ano = ?1 AND ponteiro = ?2");
            QV_CHECK(fecha.Prepara());
            QV_CHECK(fecha.Liga(1, maOS));
            QV_CHECK(fecha.Liga(2, lPtrOS));
            QV_CHECK(fecha.Executa());
            achou = sqlite3_changes(db) > 0;
            return S_OK;
        };
        QV_CHECK(banco->Transacao(passos));
        return achou ? S_OK : S_FALSE;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

namespace {

// Registers the class when the library is loaded.
const bool g_assistecErpRegistrada = [] {
    static zenta::CFabricaErp<zenta::CriaAssistecErp> fabrica;
    zenta::RegistraClasseInproc(CLSID_QVAssistecErp, &fabrica);
    return true;
}();

}  // namespace

}  // namespace zenta
