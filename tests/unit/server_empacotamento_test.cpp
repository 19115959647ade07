// The interface records on the wire and as JSON: the call messages of
// IQVGE_ManutencaoPreventiva (the record codec, the proxy over a loopback
// channel that runs the stub on a real service object, with the same results
// and allocations as in-process, and hostile messages on both sides refused
// with nothing leaked); the type description every record is covered by
// exactly, and the JSON form it drives (records survive record -> JSON ->
// record unchanged, hostile JSON is refused naming the field and leaves
// nothing allocated).

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "platform/CodePage.h"
#include "records/QVDescricaoTipos.h"
#include "platform/rpc/QVInterfaceRemota.h"
#include "server/QVDescricaoInterface.h"
#include "server/QVEmpacotamento.h"
#include "server/QVJsonRegistros.h"
#include "server/QVProxyStubManutencaoPreventiva.h"
#include "support/EmpresaTeste.h"
#include "support/Inicializacao.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"

using namespace zenta;

namespace {

using nlohmann::json;
using zenta::teste::ComEscopo;
using zenta::teste::Servico;

// Everything a record carries, nested lists and texts included.
template <class T>
std::string Mensagem(const T& registro) {
    std::string m;
    zenta::EscritorMensagem e(m);
    zenta::EscreveRegistro(e, zenta::DescricaoDe<T>(), &registro);
    return m;
}

template <class T>
bool Zerado(const T& r) {
    const T zero{};
    return std::memcmp(&r, &zero, sizeof(T)) == 0;
}

template <class T>
struct Lido {
    alignas(8) T r{};
    ~Lido() { zenta::LiberaRegistro(r); }
};

// An order with a BSTR, an empty BSTR, a product on two stock places, an
// empty but non-null service list, a null link list with a count, and
// reserved fields holding garbage.
struct OrdemTeste {
    _REG_MOVIMENTACAO_MANUT_PREV_PS o{};
    _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS locais[2]{};
    _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS produto{};
    _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS servico{};
    ULONGLONG compras[2]{7, 8};
    BSTR observacao = zenta::Cp1252ParaBstr("Observa\xE7\xE3o");
    BSTR vazio = SysAllocStringLen(u"", 0);

    OrdemTeste() {
        o.lEquipamento = 10;
        o.bsObservacao = observacao;
        o.bsOcorrencia = vazio;
        locais[0].lPonteiroLocal = 3;
        locais[1].lPonteiroLocal = 4;
        locais[1].vQuantidadeEs.int64 = 20000;
        produto.lProduto = 21;
        produto.listaLocal = {2, 0, nullptr, locais};
        o.listaProdutos = {1, 0xABCDu, this, &produto};
        o.listaServicos = {0, 0, nullptr, &servico};
        o.listaRelacionamentos = {3, 0, nullptr, nullptr};
        o.listaIntegracoesCompras = {2, 0, nullptr, compras};
        o.bFiller = 99;
    }
    ~OrdemTeste() {
        SysFreeString(observacao);
        SysFreeString(vazio);
    }
};

TEST(EmpacotamentoCodec, RecordsRoundTripKeepingNullApartFromEmptyAndDroppingReservedFields) {
    OrdemTeste ordem;
    const std::string m = Mensagem(ordem.o);
    zenta::LeitorMensagem l(m, HR_RPC_X_BAD_STUB_DATA);
    Lido<_REG_MOVIMENTACAO_MANUT_PREV_PS> lido;
    ASSERT_EQ(zenta::LeRegistro(l, zenta::DescricaoDe<_REG_MOVIMENTACAO_MANUT_PREV_PS>(), &lido.r), S_OK);
    EXPECT_TRUE(l.Fim());
    const auto& r = lido.r;
    EXPECT_EQ(zenta::BstrParaCp1252(r.bsObservacao), "Observa\xE7\xE3o");
    ASSERT_NE(r.bsOcorrencia, nullptr) << "an empty BSTR is not a null one";
    EXPECT_EQ(SysStringLen(r.bsOcorrencia), 0u);
    ASSERT_EQ(r.listaProdutos.lQtdProdutos, 1u);
    EXPECT_EQ(r.listaProdutos.lFiller, 0u);
    EXPECT_EQ(r.listaProdutos.pFiller, nullptr) << "reserved pointers never cross";
    EXPECT_EQ(r.bFiller, 0);
    ASSERT_EQ(r.listaProdutos.pProdutos[0].listaLocal.lQtdEstoque, 2u);
    EXPECT_EQ(r.listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].vQuantidadeEs.int64, 20000);
    EXPECT_EQ(r.listaServicos.pServicos, nullptr) << "an array of no elements arrives as none";
    EXPECT_EQ(r.listaRelacionamentos.lQtdRelacionamentoOS, 3u) << "a count without an array is the callee's to refuse";
    EXPECT_EQ(r.listaRelacionamentos.pRelacionamentos, nullptr);
    ASSERT_EQ(r.listaIntegracoesCompras.lQtdDMC, 2u);
    EXPECT_EQ(r.listaIntegracoesCompras.pDMC[1], 8u);
    EXPECT_EQ(Mensagem(r), m) << "what was read writes the same message";

    // The bytes of a change travel, but not its reserved pointer.
    BYTE dados[3] = {1, 0, 3};
    const _REG_CR_ALTERACAOPS alteracao{{3, {9, 9, 9, 9}, dados, dados}, 4, 5};
    const std::string ma = Mensagem(alteracao);
    zenta::LeitorMensagem la(ma, RPC_E_INVALID_DATA);
    Lido<_REG_CR_ALTERACAOPS> lida;
    ASSERT_EQ(zenta::LeRegistro(la, zenta::DescricaoDe<_REG_CR_ALTERACAOPS>(), &lida.r), S_OK);
    ASSERT_EQ(lida.r.regDados.ulQtdBytes, 3u);
    EXPECT_EQ(std::memcmp(lida.r.regDados.pListaBytes, dados, 3), 0);
    EXPECT_EQ(lida.r.regDados.pFiller, nullptr);
    EXPECT_EQ(lida.r.regDados.cFiller[0], 0);
    EXPECT_EQ(lida.r.ulTipoAlteracao, 4u);
    EXPECT_EQ(lida.r.ulFiller, 0u);
}

TEST(EmpacotamentoCodec, HostileRecordsAreRefusedZeroedBeforeAnyLargeAllocation) {
    OrdemTeste ordem;
    const std::string m = Mensagem(ordem.o);
    const auto& desc = zenta::DescricaoDe<_REG_MOVIMENTACAO_MANUT_PREV_PS>();
    std::vector<unsigned char> destino(desc.tamanho);
    const auto zerado = [&] {
        return std::all_of(destino.begin(), destino.end(), [](unsigned char b) { return b == 0; });
    };
    for (std::size_t n = 0; n < m.size(); ++n) {
        zenta::LeitorMensagem l(std::string_view(m).substr(0, n), RPC_E_INVALID_DATA);
        std::memset(destino.data(), 0xCD, destino.size());
        ASSERT_EQ(zenta::LeRegistro(l, desc, destino.data()), RPC_E_INVALID_DATA) << "cut at " << n;
        ASSERT_TRUE(zerado()) << "cut at " << n;
    }
    // A BSTR, then a list, claiming far more than the message holds.
    std::string bstrEnorme = m;
    const std::string texto("O\0b\0s\0", 6);
    const std::size_t posTexto = bstrEnorme.find(texto);
    ASSERT_NE(posTexto, std::string::npos);
    const ULONG enorme = 0x7FFFFFF0u;
    std::memcpy(bstrEnorme.data() + posTexto - 4, &enorme, 4);
    zenta::LeitorMensagem lb(bstrEnorme, HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(zenta::LeRegistro(lb, desc, destino.data()), HR_RPC_X_BAD_STUB_DATA);
    EXPECT_TRUE(zerado());

    std::string listaEnorme;
    zenta::EscritorMensagem e(listaEnorme);
    e.EscreveU8(1);
    e.EscreveU32(0xFFFFFFFFu);
    e.EscreveU32(1);
    zenta::LeitorMensagem ll(listaEnorme, HR_RPC_X_BAD_STUB_DATA);
    _REG_LISTA_PTRS_CADASTRO_PS ptrs{};
    EXPECT_EQ(zenta::LeRegistro(ll, zenta::DescricaoDe<_REG_LISTA_PTRS_CADASTRO_PS>(), &ptrs), HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(ptrs.pPonteiros, nullptr);
    listaEnorme[0] = 2;  // neither "none" nor "elements follow"
    zenta::LeitorMensagem lm(listaEnorme, HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(zenta::LeRegistro(lm, zenta::DescricaoDe<_REG_LISTA_PTRS_CADASTRO_PS>(), &ptrs), HR_RPC_X_BAD_STUB_DATA);
    // "Elements follow" with none after it: an empty list travels as "none".
    std::string listaVazia;
    zenta::EscritorMensagem ev(listaVazia);
    ev.EscreveU8(1);
    ev.EscreveU32(0);
    zenta::LeitorMensagem lv(listaVazia, HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(zenta::LeRegistro(lv, zenta::DescricaoDe<_REG_LISTA_PTRS_CADASTRO_PS>(), &ptrs), HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(ptrs.pPonteiros, nullptr);
}

// A channel to an object in this process: the registered stub runs each
// message on the object. `adultera` may change the answer on its way back.
class CanalLoopback final : public zenta::rpc::CanalObjeto {
public:
    explicit CanalLoopback(IUnknown* objeto) : m_objeto(objeto) { m_objeto->AddRef(); }
    ~CanalLoopback() override { m_objeto->Release(); }

    HRESULT Chama(REFIID iid, ULONG slot, std::string_view entrada, std::string& saida) override {
        ++chamadas;
        pedido.assign(entrada);
        saida.clear();
        const zenta::rpc::InterfaceRemota* remota = zenta::rpc::InterfaceRemotaDe(iid);
        void* itf = nullptr;
        if (remota == nullptr || FAILED(m_objeto->QueryInterface(iid, &itf))) return E_NOINTERFACE;
        HRESULT hr = remota->despacha(static_cast<IUnknown*>(itf), slot, entrada, saida);
        static_cast<IUnknown*>(itf)->Release();
        if (adultera) hr = adultera(saida, hr);
        return hr;
    }

    int chamadas = 0;
    std::string pedido;
    std::function<HRESULT(std::string&, HRESULT)> adultera;

private:
    IUnknown* m_objeto;
};

Servico Proxy(std::shared_ptr<zenta::rpc::CanalObjeto> canal) {
    const zenta::rpc::InterfaceRemota* remota = zenta::rpc::InterfaceRemotaDe(IID_IQVGE_ManutencaoPreventiva);
    EXPECT_NE(remota, nullptr);
    IQVGE_ManutencaoPreventiva* p = nullptr;
    if (remota != nullptr) {
        EXPECT_EQ(remota->criaProxy(std::move(canal), IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)),
                  S_OK);
    }
    return Servico(p);
}

class Remoto : public ::testing::Test {
protected:
    void SetUp() override {
        // Always the object itself, whatever context the suite creates services in.
        IQVGE_ManutencaoPreventiva* p = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)), S_OK);
        m_local.reset(p);
        ASSERT_EQ(m_local->Inicializa_Padrao(zenta::teste::RegistroInicializacao("REMOTO")), S_OK);
        m_canal = std::make_shared<CanalLoopback>(m_local.get());
        m_remoto = Proxy(m_canal);
        ASSERT_NE(m_remoto, nullptr);
    }
    void TearDown() override {
        m_remoto.reset();
        m_canal.reset();
        m_local.reset();
    }

    // A plan with one maintenance (remark, one service, one product on two
    // stock places) and one client.
    static LONG GravaPlano(IQVGE_ManutencaoPreventiva* s, ULONG equipamento) {
        nlohmann::json j = nlohmann::json::parse(R"({"idEquipamentoPS": {"lSituacao": 1, "szNrSerie": "SN-1"},
          "listaManutencoes": {"pManutencoes": [{"szNomeManutencao": "Revisão",
            "frequenciaPS": {"lTipoFrequencia": 2, "lTipoFrequenciaTempo": 3, "lFrequenciaTempo": 3,
                             "dataInicial": "2026-03-01", "szObservacao": "Trocar o óleo"},
            "listaServicos": {"pServicos": [{"lServico": 11, "lTecnico": 7, "vQuantidadePrevista": "2"}]},
            "listaProdutos": {"pProdutos": [{"lProduto": 21, "vQuantidadePrevista": "3",
              "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 31}, {"lPonteiroLocal": 32}]}}]}}]},
          "listaClientes": {"pClientes": [{"lCliente": 41}]}})");
        j["idEquipamentoPS"]["lEquipamento"] = equipamento;
        return zenta::teste::GravaPlanoJson(*s, j);
    }

    zenta::teste::ZentaHomeTemporario m_home;
    ComEscopo m_com;
    Servico m_local;
    std::shared_ptr<CanalLoopback> m_canal;
    Servico m_remoto;
};

// The proxy is an object of its own (counted locally), passes null pointers
// on for the object to answer as in process, and drops the channel with its
// last reference.
TEST_F(Remoto, TheProxyIsItsOwnObjectPassesNullPointersOnAndDropsTheChannelLast) {
    std::weak_ptr<CanalLoopback> canal = m_canal;
    IUnknown* identidade = nullptr;
    void* nada = reinterpret_cast<void*>(1);
    ASSERT_EQ(m_remoto->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identidade)), S_OK);
    EXPECT_EQ(static_cast<void*>(identidade), static_cast<void*>(m_remoto.get()));
    EXPECT_EQ(m_remoto->QueryInterface(IID_IClassFactory, &nada), E_NOINTERFACE);
    EXPECT_EQ(nada, nullptr);
    EXPECT_EQ(identidade->Release(), 1u);
    EXPECT_EQ(m_canal->chamadas, 0) << "counting is local";

    LONG posicao = 0;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
    _REG_LISTA_ITENS_TREE_PS* semLista = nullptr;
    EXPECT_EQ(m_remoto->LePropriedades(nullptr), m_local->LePropriedades(nullptr));
    EXPECT_EQ(m_remoto->Le(1, nullptr), m_local->Le(1, nullptr));
    EXPECT_EQ(m_remoto->Grava(nullptr, plano), m_local->Grava(nullptr, plano));
    EXPECT_EQ(m_remoto->GravaHistoricoMedicao(&posicao, nullptr), m_local->GravaHistoricoMedicao(&posicao, nullptr));
    EXPECT_EQ(m_remoto->GravaMedicaoAtual(nullptr, 0, 0), m_local->GravaMedicaoAtual(nullptr, 0, 0));
    EXPECT_EQ(m_remoto->GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS{}, nullptr),
              m_local->GravaMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS{}, nullptr));
    EXPECT_EQ(m_remoto->BuscaRegistroTreeProdutos(semLista, 0), m_local->BuscaRegistroTreeProdutos(semLista, 0));
    EXPECT_EQ(m_canal->chamadas, 7);
    EXPECT_EQ(m_local->Le(1, nullptr), E_POINTER) << "what the object itself answers";
    m_canal.reset();
    EXPECT_FALSE(canal.expired());
    m_remoto.reset();
    EXPECT_TRUE(canal.expired());
}

TEST_F(Remoto, TheStubRefusesMessagesThatDoNotFitBeforeTheMethodRuns) {
    IUnknown* objeto = m_local.get();
    const LONG plano = GravaPlano(m_remoto.get(), 10);
    const std::string gravaPlano = m_canal->pedido;
    std::string saida = "x";
    for (std::size_t n = 0; n < gravaPlano.size(); ++n) {
        ASSERT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 14, std::string_view(gravaPlano).substr(0, n), saida),
                  HR_RPC_X_BAD_STUB_DATA) << "cut at " << n;
        ASSERT_TRUE(saida.empty());
    }
    EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 14, gravaPlano + '\0', saida), HR_RPC_X_BAD_STUB_DATA);
    Lido<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> segundo;
    EXPECT_NE(m_local->Le(plano + 1, &segundo.r), S_OK) << "no refused message wrote a plan";

    BYTE dados[4] = {1, 2, 3, 4};
    _REG_CR_LISTA_BYTESPS* saidaGenerica = nullptr;
    EXPECT_EQ(m_remoto->FuncaoGenerica(1, {4, {}, dados, nullptr}, &saidaGenerica), E_NOTIMPL);
    const std::string generica = m_canal->pedido;
    for (std::size_t n = 0; n < generica.size(); ++n)
        ASSERT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 6, generica.substr(0, n), saida), HR_RPC_X_BAD_STUB_DATA);

    // An array count far beyond the message, a presence byte that is
    // neither 0 nor 1, slots that do not exist.
    std::string alteracoes;
    zenta::EscritorMensagem e(alteracoes);
    e.EscreveU32(0x40000000u);
    e.EscreveU8(1);
    e.EscreveU32(7);
    EXPECT_EQ(zenta::DespachaQVUnknown(objeto, 7, alteracoes, saida), HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 4, std::string(1, '\2'), saida), HR_RPC_X_BAD_STUB_DATA);
    for (ULONG slot : {0u, 2u, 38u, 1000u})
        EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, slot, "", saida), HR_RPC_X_BAD_STUB_DATA) << slot;
    EXPECT_EQ(zenta::DespachaQVUnknown(objeto, 10, std::string(1, '\1'), saida), HR_RPC_X_BAD_STUB_DATA);
    // KeepAlive's [out] LONG travels both ways: the presence byte and its value.
    EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 4, std::string(1, '\1'), saida), HR_RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 4, std::string("\1\0\0\0\0", 5), saida), S_OK);
    EXPECT_EQ(saida.size(), sizeof(LONG));
    // A request above the server's limit is refused before it is decoded.
    const std::string enorme(zenta::LimitesMensagemServidor().bytesPedido + 1, '\1');
    EXPECT_EQ(zenta::DespachaManutencaoPreventiva(objeto, 4, enorme, saida), zenta::E_QV_MENSAGEM_EXCEDE_LIMITE);
    EXPECT_TRUE(saida.empty());
}

TEST_F(Remoto, TheProxyRefusesAnswersThatDoNotFitAndPassesTransportFailuresOn) {
    const LONG plano = GravaPlano(m_local.get(), 10);
    Lido<_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS> inteiro;
    ASSERT_EQ(m_remoto->Le(plano, &inteiro.r), S_OK);
    const std::size_t tamanho = Mensagem(inteiro.r).size();
    std::vector<std::size_t> cortes;
    for (std::size_t n = 1; n < tamanho; n += 7) cortes.push_back(n);
    cortes.push_back(tamanho);  // an empty answer to a successful call
    for (const std::size_t n : cortes) {
        m_canal->adultera = [n](std::string& s, HRESULT hr) {
            s.resize(s.size() - n);
            return hr;
        };
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS lido;
        std::memset(&lido, 0xCD, sizeof lido);
        ASSERT_EQ(m_remoto->Le(plano, &lido), RPC_E_INVALID_DATA) << n;
        ASSERT_TRUE(Zerado(lido)) << "cut by " << n;
    }
    m_canal->adultera = [](std::string& s, HRESULT hr) {
        s.push_back('\0');
        return hr;
    };
    LONG ok = 7;
    EXPECT_EQ(m_remoto->KeepAlive(&ok), RPC_E_INVALID_DATA);
    EXPECT_EQ(m_remoto->ExcluiManutencoes(1), RPC_E_INVALID_DATA) << "an answer where none is due";
    m_canal->adultera = [](std::string& s, HRESULT) {
        s.clear();
        return HR_RPC_S_SERVER_UNAVAILABLE;
    };
    ok = 7;
    EXPECT_EQ(m_remoto->KeepAlive(&ok), HR_RPC_S_SERVER_UNAVAILABLE);
    EXPECT_EQ(ok, 0);
    LONG posicao = 3;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS vazio{};
    EXPECT_EQ(m_remoto->Grava(&posicao, vazio), HR_RPC_S_SERVER_UNAVAILABLE);
    EXPECT_EQ(posicao, 3) << "an [in, out] keeps its value when the call never ran";
}

// ---- The records' type description and the JSON form it drives ---------------

std::size_t TamanhoDoTipo(const DescricaoCampo& c) {
    switch (c.tipo) {
        case TipoCampo::U8: return 1;
        case TipoCampo::U16:
        case TipoCampo::MesAno: return 2;
        case TipoCampo::U32:
        case TipoCampo::I32:
        case TipoCampo::Data:
        case TipoCampo::Hora:
        case TipoCampo::Contagem: return 4;
        case TipoCampo::U64:
        case TipoCampo::I64:
        case TipoCampo::Moeda:
        case TipoCampo::ChaveDmc:
        case TipoCampo::Bstr:
        case TipoCampo::Lista:
        case TipoCampo::ArrayU32:
        case TipoCampo::ArrayDmc:
        case TipoCampo::BytesDf: return 8;
        case TipoCampo::TextoDf: return sizeof(_REG_DF_TEXTOPS);
        case TipoCampo::Registro: return c.registro->tamanho;
        case TipoCampo::Texto:
        case TipoCampo::Filler: return c.tamanho;
    }
    return 0;
}

bool TemPonteiro(TipoCampo t) {
    return t == TipoCampo::Lista || t == TipoCampo::ArrayU32 || t == TipoCampo::ArrayDmc || t == TipoCampo::BytesDf;
}

TEST(DescricaoTipos, EveryRecordIsCoveredExactlyByItsFields) {
    ASSERT_EQ(zenta::TodasDescricoes().size(), 44u);
    std::vector<const DescricaoRegistro*> todas(zenta::TodasDescricoes().begin(), zenta::TodasDescricoes().end());
    for (const DescricaoRegistro* d : todas) EXPECT_EQ(zenta::DescricaoPorNome(d->nome), d) << d->nome;
    // The records of the base interface too.
    for (const DescricaoRegistro* d : zenta::DescricoesRegistrosIQVUnknown()) todas.push_back(d);
    for (const DescricaoRegistro* d : todas) {
        SCOPED_TRACE(d->nome);
        std::size_t proximo = 0;
        for (const DescricaoCampo& c : d->campos) {
            SCOPED_TRACE(c.nome);
            EXPECT_EQ(c.offset, proximo) << "gap or overlap";
            EXPECT_GT(c.tamanho, 0u);
            EXPECT_EQ(c.tamanho, TamanhoDoTipo(c));
            proximo = c.offset + c.tamanho;
            if (c.tipo == TipoCampo::Registro || c.tipo == TipoCampo::Lista || c.tipo == TipoCampo::TextoDf) {
                EXPECT_NE(c.registro, nullptr);
            }
            if (TemPonteiro(c.tipo)) {
                bool achou = false;
                for (const DescricaoCampo& k : d->campos)
                    achou |= k.offset == c.offsetContagem && k.tipo == TipoCampo::Contagem;
                EXPECT_TRUE(achou) << "count field of a list/array";
            }
        }
        EXPECT_EQ(proximo, d->tamanho);
    }
    EXPECT_EQ(zenta::DescricaoPorNome("_REG_INEXISTENTE_PS"), nullptr);
}

const json kPlano = json::parse(R"({
  "idEquipamentoPS": {
    "regMedidorAtual": {"vQuantidadeInicial": "1500.25", "vQuantidadeAtual": "-0.0001", "cTipoUnidadeMedida": 2},
    "lFilial": 1, "lEquipamento": 7, "szCodigo": "ÇÇÇÇÇÇÇÇÇÇÇ", "szNrSerie": "Série Ação",
    "szFabricante": "Máquinas Ñandú", "lSituacao": 1
  },
  "lPonteiroRegistro": 4294967295, "dmcOrigem": 18446744073709551615, "bExcluido": -1,
  "listaManutencoes": {"pManutencoes": [
    {"frequenciaPS": {"szParadaManutencao": "Troca de óleo", "dataInicial": "2024-02-29",
                      "horaDuracao": "2.5", "vFrequenciaMedicao": "922337203685477.5807",
                      "szObservacao": "Observação: verificar pressão"},
     "szNomeManutencao": "Revisão €", "dataFinalContrato": "4717-12-31", "lCodigoManutencao": 3,
     "listaProdutos": {"pProdutos": [
        {"lProduto": 10, "vQuantidadePrevista": "3",
         "listaLocal": {"pLocaisEstoque": [{"lPonteiroLocal": 5, "vQuantidadeEs": "1.5"},
                                           {"lPonteiroLocal": 6, "cTipoProducao": 255}]}}]},
     "listaServicos": {"pServicos": [{"lServico": 4, "vQuantidadePrevista": "-922337203685477.5808"}]}},
    {"frequenciaPS": {"dataInicial": null, "szObservacao": ""}, "szNomeManutencao": "Segunda"}
  ]},
  "listaClientes": {"pClientes": [{"lCliente": 9, "szEndereco": "Rua São João", "dataInicial": "1848-01-01"}]}
})");

// A record read from a JSON form gives the same JSON form again.
template <class T>
void VoltaIgual(const json& j, T& volta) {
    std::string erro;
    ASSERT_EQ(zenta::JsonParaRegistro(j, volta, erro), S_OK) << erro;
    json j2;
    ASSERT_EQ(zenta::RegistroParaJson(volta, j2, erro), S_OK);
    EXPECT_EQ(j, j2);
}

TEST(JsonRegistros, PlanWithNestedListsRoundTripsUnchanged) {
    std::string erro;
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS a{}, b{};
    ASSERT_EQ(zenta::JsonParaRegistro(kPlano, a, erro), S_OK) << erro;

    // The record holds Windows-1252 bytes, counts and task-allocator arrays.
    EXPECT_STREQ(a.idEquipamentoPS.szNrSerie, "S\xE9rie A\xE7\xE3o");
    // Eleven accented letters: 22 bytes of UTF-8, 11 bytes (plus the zero) in the field.
    EXPECT_EQ(std::strlen(a.idEquipamentoPS.szCodigo), 11u);
    EXPECT_EQ(a.idEquipamentoPS.regMedidorAtual.vQuantidadeInicial.int64, 15002500);
    EXPECT_EQ(a.idEquipamentoPS.regMedidorAtual.vQuantidadeAtual.int64, -1);
    ASSERT_EQ(a.listaManutencoes.lQtdManutencoes, 2u);
    const auto& m0 = a.listaManutencoes.pManutencoes[0];
    EXPECT_STREQ(m0.szNomeManutencao, "Revis\xE3o \x80");
    EXPECT_EQ(m0.frequenciaPS.szObservacao.ulQtdBytes, 30u);  // text and its zero
    EXPECT_STREQ(reinterpret_cast<const char*>(m0.frequenciaPS.szObservacao.pTexto),
                 "Observa\xE7\xE3o: verificar press\xE3o");
    ASSERT_EQ(m0.listaProdutos.pProdutos[0].listaLocal.lQtdEstoque, 2u);
    EXPECT_EQ(m0.listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].cTipoProducao, 255);
    EXPECT_EQ(a.listaManutencoes.pManutencoes[1].frequenciaPS.szObservacao.pTexto, nullptr);

    json j;
    ASSERT_EQ(zenta::RegistroParaJson(a, j, erro), S_OK) << erro;
    EXPECT_EQ(j["idEquipamentoPS"]["szFabricante"], "Máquinas Ñandú");
    EXPECT_EQ(j["listaManutencoes"]["pManutencoes"][0]["frequenciaPS"]["horaDuracao"], "2.5");
    EXPECT_EQ(j["listaManutencoes"]["pManutencoes"][1]["dataFinalContrato"], nullptr);
    EXPECT_FALSE(j.contains("szFiller"));

    VoltaIgual(j, b);

    zenta::LiberaRegistro(a);
    zenta::LiberaRegistro(b);
    EXPECT_EQ(a.listaManutencoes.pManutencoes, nullptr);
    EXPECT_EQ(a.listaManutencoes.lQtdManutencoes, 0u);
}

TEST(JsonRegistros, FlatRecordBuiltByHandRoundTripsByteEqual) {
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
    c.lCliente = 12;
    std::strcpy(c.szEndereco, "Pra\xE7" "a da Concei\xE7\xE3o");
    std::strcpy(c.szContato, "Jos\xE9");
    c.dataInicial = 55519;  // 2000-01-01
    c.bSemNumero = 1;
    json j;
    std::string erro;
    ASSERT_EQ(zenta::RegistroParaJson(c, j, erro), S_OK) << erro;
    EXPECT_EQ(j["dataInicial"], "2000-01-01");
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS d{};
    ASSERT_EQ(zenta::JsonParaRegistro(j, d, erro), S_OK) << erro;
    EXPECT_EQ(std::memcmp(&c, &d, sizeof c), 0);
}

TEST(JsonRegistros, OrderWithBstrsKeysAndMonthsRoundTrips) {
    const json entrada = json::parse(R"({
      "dmcChave": 1234605616436508552, "bsOcorrencia": "Vazamento no cárter", "bsObservacao": "",
      "szNrSerie": "Ω",
      "horaInicio": -5, "horaEfetiva": "0.0001", "szMotivoCancelamento": "ÿ",
      "listaIntegracoesCompras": {"pDMC": [1, 18446744073709551615]},
      "listaRelacionamentos": {"pRelacionamentos": [{"dmcMovimentacao": 5, "lPtrOS": 2, "maOS": "2023-03"}]}
    })");
    std::string erro;
    _REG_MOVIMENTACAO_MANUT_PREV_PS a{}, b{};
    ASSERT_EQ(zenta::JsonParaRegistro(entrada, a, erro), S_OK) << erro;
    EXPECT_EQ(SysStringLen(a.bsOcorrencia), 19u);
    EXPECT_STREQ(a.szNrSerie, "?");  // no Windows-1252 byte for it
    EXPECT_NE(a.bsObservacao, nullptr);
    EXPECT_EQ(a.listaRelacionamentos.pRelacionamentos[0].maOS, 3 + (2023 - 1848) * 12);
    json j;
    ASSERT_EQ(zenta::RegistroParaJson(a, j, erro), S_OK) << erro;
    EXPECT_EQ(j["bsOcorrencia"], "Vazamento no cárter");
    EXPECT_EQ(j["bsObservacao"], "");
    EXPECT_EQ(j["bsOcorrencia"].get<std::string>().size(), 20u);
    EXPECT_EQ(j["listaRelacionamentos"]["pRelacionamentos"][0]["maOS"], "2023-03");
    VoltaIgual(j, b);
    zenta::LiberaRegistro(a);
    zenta::LiberaRegistro(b);
    EXPECT_EQ(a.bsOcorrencia, nullptr);

    for (const std::string mes : {"2023-00", "2023-13"}) {
        _REG_MOVIMENTACAO_MANUT_PREV_PS c{};
        const json ruim = json::parse(R"({"listaRelacionamentos": {"pRelacionamentos": [{"maOS": ")" + mes + R"("}]}})");
        EXPECT_EQ(zenta::JsonParaRegistro(ruim, c, erro), E_INVALIDARG) << mes;
        EXPECT_NE(erro.find("maOS"), std::string::npos) << erro;
    }
}

struct Recusa {
    const char* json;
    const char* campo;  // the message must name it
};

TEST(JsonRegistros, HostileInputIsRefusedNamingTheFieldWithNothingLeft) {
    const Recusa casos[] = {
        {R"({"idEquipamentoPS": {"szCodigo": "123456789012"}})", "idEquipamentoPS.szCodigo"},
        {R"({"idEquipamentoPS": {"szCodigo": "ÇÇÇÇÇÇÇÇÇÇÇÇ"}})", "idEquipamentoPS.szCodigo"},  // counted in Windows-1252
        {R"({"idEquipamentoPS": {"lFilial": -1}})", "idEquipamentoPS.lFilial"},
        {R"({"lPonteiroRegistro": 4294967296})", "lPonteiroRegistro"},
        {R"({"bExcluido": 2147483648})", "bExcluido"},
        {R"({"cOrigem": 256})", "cOrigem"},
        {R"({"lClientes": "1"})", "lClientes"},
        {R"({"lClientes": 1.5})", "lClientes"},
        {R"({"cFiller": 0})", "cFiller"},
        {R"({"szFiller": "x"})", "szFiller"},
        {R"({"idEquipamentoPS": []})", "idEquipamentoPS"},
        {R"({"listaClientes": {"lQtdClientes": 1}})", "listaClientes.lQtdClientes"},
        {R"({"listaClientes": {"pClientes": {}}})", "listaClientes.pClientes"},
        {R"({"listaClientes": {"pClientes": [{"dataInicial": "2023-02-29"}]}})", "pClientes[0].dataInicial"},
        {R"({"listaClientes": {"pClientes": [{"dataInicial": "0023-01-01"}]}})", "pClientes[0].dataInicial"},
        {R"({"listaClientes": {"pClientes": [{"szBairro": "a\u0000b"}]}})", "pClientes[0].szBairro"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "1.23456"}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "922337203685477.5808"}}})",
         "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": 1}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "1,5"}}})", "vQuantidadeAtual"},
        {R"({"idEquipamentoPS": {"regMedidorAtual": {"vQuantidadeAtual": "."}}})", "vQuantidadeAtual"},
        // Failures after arrays, texts and nested lists were already allocated.
        {R"({"listaManutencoes": {"pManutencoes": [
             {"frequenciaPS": {"szObservacao": "texto"}, "listaServicos": {"pServicos": [{"lServico": 1}]}},
             {"szNomeManutencao": "ok", "listaProdutos": {"pProdutos": [{"listaLocal": {"pLocaisEstoque": [
                 {"lPonteiroLocal": 1}, {"vQuantidadeEs": "x"}]}}]}}]}})",
         "listaManutencoes.pManutencoes[1].listaProdutos.pProdutos[0].listaLocal.pLocaisEstoque[1].vQuantidadeEs"},
    };
    for (const Recusa& caso : casos) {
        SCOPED_TRACE(caso.json);
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS r;
        std::memset(&r, 0xAB, sizeof r);
        std::string erro;
        EXPECT_EQ(zenta::JsonParaRegistro(json::parse(caso.json), r, erro), E_INVALIDARG);
        EXPECT_NE(erro.find(caso.campo), std::string::npos) << erro;
        EXPECT_TRUE(Zerado(r));
    }
}

TEST(JsonRegistros, RecordsWithoutAJsonFormAreRefused) {
    const auto recusa = [](const auto& registro, const char* campo) {
        json j;
        std::string erro;
        EXPECT_EQ(zenta::RegistroParaJson(registro, j, erro), E_INVALIDARG) << campo;
        EXPECT_NE(erro.find(campo), std::string::npos) << erro;
    };
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS c{};
    std::memset(c.szBairro, 'x', sizeof c.szBairro);  // no terminator
    recusa(c, "szBairro");
    _REG_CADASTRO_MANUTENCAO_CLIENTE_PS d{};
    d.dataFinal = 1048248;  // one day past 4717-12-31
    recusa(d, "dataFinal");
    _REG_LISTA_PTRS_CADASTRO_PS l{};
    l.lQtdPtrs = 3;  // a count with no array behind it
    recusa(l, "pPonteiros");
    char texto[] = {'a', 'b'};  // the byte count must end on the zero
    recusa(_REG_DF_TEXTOPS{2, {}, reinterpret_cast<BYTE*>(texto), nullptr}, "pTexto");
    char cortado[] = {'a', '\0', 'b', '\0'};  // and hold no other zero: the rest would be lost
    recusa(_REG_DF_TEXTOPS{4, {}, reinterpret_cast<BYTE*>(cortado), nullptr}, "pTexto");
}

TEST(JsonRegistros, LiberaRegistroFreesWhatAClientReceived) {
    // A filter holding a pointer array and a report record holding BSTRs, as
    // a client would get them back: freeing them leaves no leak (LeakSanitizer).
    std::string erro;
    _REG_RELATORIO_MOVIMENTO_MANUTENCAO_PREVENTIVA_PS r{};
    ASSERT_EQ(zenta::JsonParaRegistro(json::parse(R"({"filtro": {"pPonteirosIdentificacao": [3, 4, 5],
        "dmcMovimentacao": {"lChaveModulo": -2, "iData": 7}, "szNrSerie": "abc"},
        "bsComponente": "relatório Ω 😀", "bsArquivoTemp": "/tmp/x"})"),
                                      r, erro),
              S_OK)
        << erro;
    EXPECT_EQ(r.filtro.pPonteirosIdentificacao[2], 5u);
    EXPECT_EQ(SysStringLen(r.bsComponente), 14u);  // BSTRs keep every character: Ω and a surrogate pair
    json j;
    ASSERT_EQ(zenta::RegistroParaJson(r, j, erro), S_OK) << erro;
    EXPECT_EQ(j["bsComponente"], "relatório Ω 😀");
    zenta::LiberaRegistro(r);
    EXPECT_EQ(r.filtro.pPonteirosIdentificacao, nullptr);
    EXPECT_EQ(r.filtro.lQtdPonteirosIdentificacao, 0u);
    EXPECT_EQ(r.bsComponente, nullptr);
    zenta::LiberaRegistro(r);  // a second free finds nothing left
}

}  // namespace
