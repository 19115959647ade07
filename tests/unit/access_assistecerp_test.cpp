// The ERP stand-in's technical-assistance server: keys handed out per
// month/year, one record per key on the way back with its blocks copied for
// the caller, closing by a person, and hostile records, keys and files.

#include "access/IQVGE_ASTMov.h"
#include "platform/QVDiretorios.h"
#include "standins/erp/QVAssistecErp.h"
#include "standins/erp/QVErpBanco.h"
#include "diagnostics/QVCodigosErro.h"
#include "support/ErpTeste.h"
#include "support/Inicializacao.h"
#include "support/ServicoTeste.h"
#include "support/ZentaHomeTemporario.h"
#include "values/QVMesAno.h"

using namespace zenta;

namespace {

constexpr const char* kEmpresa = "ASSISTEC";
const HRESULT kNaoEncontrado = HRESULT_FROM_WIN32(1168u);

using Assistec = std::unique_ptr<IQVGE_ASTMov, decltype([](IQVGE_ASTMov* p) { p->Release(); })>;

// A service order with `tecnicos` sections of `itens` items of `locais` locations.
struct OrdemMontada {
    REG_AST_ORDEM_SERVICO_PS os{};
    REG_AST_EQUIPAMENTO_PS equipamento{};
    std::vector<REG_AST_TECNICO_PS> tecnicos;
    std::vector<std::vector<REG_AST_ITEM_PS>> itens;
    std::vector<std::vector<REG_AST_LOCAL_PS>> locais;  // per item, all sections in a row
    BSTR nrSerie = nullptr;

    OrdemMontada(USHORT ma, ULONG tecnicosQtd, ULONG itensQtd, ULONG locaisQtd) {
        os.ucTipoOrdem = 3;
        os.lSituacao = 1;
        os.lCliente = 44;
        os.maOS = ma;
        nrSerie = SysAllocString(u"SÉRIE-1");
        equipamento.lEquipamento = 10;
        equipamento.bsNrSerie = nrSerie;
        os.pEquipamento = &equipamento;
        tecnicos.resize(tecnicosQtd);
        itens.resize(tecnicosQtd);
        locais.resize(static_cast<std::size_t>(tecnicosQtd) * itensQtd);
        for (ULONG t = 0; t < tecnicosQtd; ++t) {
            tecnicos[t].lTecnico = 100 + t;
            tecnicos[t].lQtdItens = itensQtd;
            itens[t].resize(itensQtd);
            for (ULONG i = 0; i < itensQtd; ++i) {
                REG_AST_ITEM_PS& item = itens[t][i];
                item.ucItem = 1;
                item.lProdServ = 1000 * (t + 1) + i;
                item.vQuantidade.int64 = 10000 * (i + 1);
                auto& l = locais[t * itensQtd + i];
                l.resize(locaisQtd);
                for (ULONG k = 0; k < locaisQtd; ++k) l[k].lPonteiroLocal = 7 + k;
                item.lQtdLocais = locaisQtd;
                item.pLocais = locaisQtd ? l.data() : nullptr;
            }
            tecnicos[t].pItens = itensQtd ? itens[t].data() : nullptr;
        }
        os.lQtdTecnicos = tecnicosQtd;
        os.pTecnicos = tecnicosQtd ? tecnicos.data() : nullptr;
    }
    ~OrdemMontada() { SysFreeString(nrSerie); }
    OrdemMontada(const OrdemMontada&) = delete;
    OrdemMontada& operator=(const OrdemMontada&) = delete;
};

struct ListaLida {
    REG_AST_LISTA_ORDEM_SERVICO_PS lista{};
    ~ListaLida() { zenta::LiberaListaOrdemServico(lista); }
};

class AssistecErp : public ::testing::Test {
protected:
    Assistec Novo(bool inicializa = true) {
        IQVGE_ASTMov* p = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_QVAssistecErp, nullptr, CLSCTX_INPROC_SERVER, IID_IQVGE_ASTMov,
                                   reinterpret_cast<void**>(&p)),
                  S_OK);
        if (p != nullptr && inicializa) {
            EXPECT_EQ(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao(kEmpresa)), S_OK);
        }
        return Assistec(p);
    }
    static HRESULT Busca(IQVGE_ASTMov* p, std::vector<REG_AST_CHAVE_PS> chaves, ListaLida& lida) {
        REG_AST_LISTA_CHAVES_PS regChaves{static_cast<ULONG>(chaves.size()), 0, nullptr, chaves.data()};
        return p->BuscaRegistros(regChaves, &lida.lista, 2);
    }
    std::shared_ptr<zenta::ErpBanco> Banco() { return zenta::teste::BancoErp(kEmpresa); }
    int64_t Quantidade() { return zenta::teste::QuantidadeOrdensServicoErp(kEmpresa); }

    zenta::teste::ZentaHomeTemporario m_home;
    zenta::teste::ComEscopo m_com;
};

TEST_F(AssistecErp, BuscaRegistrosGivesOneRecordPerKeyWithItsOwnBlocks) {
    auto ast = Novo();
    const USHORT maio = QVMAFromMesAno(5, 2026);
    OrdemMontada a(maio, 2, 3, 2), b(maio, 0, 0, 0);
    b.os.pEquipamento = nullptr;
    ASSERT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    ASSERT_EQ(ast->Grava(&b.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    // What the caller still holds is no longer the module's.
    a.itens[1][2].lProdServ = 1;
    a.locais[5][1].lPonteiroLocal = 1;

    ListaLida lida;
    ASSERT_EQ(Busca(ast.get(), {{maio, 0, 2}, {maio, 0, 1}, {maio, 0, 99}, {maio, 0, 1}}, lida), S_OK);
    ASSERT_EQ(lida.lista.lQtdRegistros, 4u);
    const auto* r = lida.lista.pRegistros;
    EXPECT_EQ(r[0].lPtrOS, 2u);
    EXPECT_TRUE(r[0].pEquipamento == nullptr && r[0].pTecnicos == nullptr);
    EXPECT_EQ(std::make_tuple(r[1].lPtrOS, r[1].lCliente, r[1].ucEncerrada), std::make_tuple(1u, 44u, BYTE{0}));
    ASSERT_NE(r[1].pEquipamento, nullptr);
    EXPECT_EQ(r[1].pEquipamento->lEquipamento, 10u);
    EXPECT_EQ(std::u16string(r[1].pEquipamento->bsNrSerie), u"SÉRIE-1");
    ASSERT_EQ(r[1].lQtdTecnicos, 2u);
    ASSERT_EQ(r[1].pTecnicos[1].lQtdItens, 3u);
    const REG_AST_ITEM_PS& item = r[1].pTecnicos[1].pItens[2];
    ASSERT_EQ(item.lQtdLocais, 2u);
    EXPECT_EQ(std::make_tuple(r[1].pTecnicos[1].lTecnico, item.lProdServ, item.vQuantidade.int64, item.pLocais[1].lPonteiroLocal),
              std::make_tuple(101u, 2002u, 30000LL, 8u));
    // A key the module does not hold comes back empty and closed, with its key.
    EXPECT_EQ(std::make_tuple(r[2].lPtrOS, r[2].maOS, r[2].ucEncerrada, r[2].lSituacao),
              std::make_tuple(99u, maio, BYTE{1}, 0u));
    // The same key twice: two copies, not one shared block.
    EXPECT_NE(r[3].pTecnicos, r[1].pTecnicos);
    EXPECT_NE(r[3].pEquipamento->bsNrSerie, r[1].pEquipamento->bsNrSerie);

    ListaLida vazia;
    EXPECT_EQ(Busca(ast.get(), {}, vazia), S_OK);
    EXPECT_EQ(vazia.lista.lQtdRegistros, 0u);
    EXPECT_EQ(vazia.lista.pRegistros, nullptr);
}

TEST_F(AssistecErp, APersonClosesAnOrderAndItStaysClosedWhenWrittenAgain) {
    auto ast = Novo();
    const USHORT maio = QVMAFromMesAno(5, 2026);
    OrdemMontada a(maio, 1, 1, 1);
    ASSERT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    EXPECT_EQ(zenta::FechaOrdemServicoErp(kEmpresa, maio, 1), S_OK);
    EXPECT_EQ(zenta::FechaOrdemServicoErp(kEmpresa, maio, 2), S_FALSE);
    EXPECT_EQ(zenta::FechaOrdemServicoErp("../fora", maio, 1), E_QV_NOME_EMPRESA_INVALIDO);
    ASSERT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    ListaLida lida;
    ASSERT_EQ(Busca(ast.get(), {{maio, 0, 1}}, lida), S_OK);
    EXPECT_EQ(lida.lista.pRegistros[0].ucEncerrada, 1);

    // A record that says it is closed is stored closed.
    OrdemMontada b(maio, 0, 0, 0);
    b.os.lSituacao = 2;
    ASSERT_EQ(ast->Grava(&b.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    b.os.lSituacao = 1;
    ASSERT_EQ(ast->Grava(&b.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
    ListaLida outra;
    ASSERT_EQ(Busca(ast.get(), {{maio, 0, b.os.lPtrOS}}, outra), S_OK);
    EXPECT_EQ(outra.lista.pRegistros[0].ucEncerrada, 1);
}

TEST_F(AssistecErp, HostileRecordsKeysAndFilesAreRefusedWithNothingHandedOut) {
    auto semInicio = Novo(false);
    OrdemMontada a(QVMAFromMesAno(5, 2026), 1, 1, 1);
    EXPECT_EQ(semInicio->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), QV_E_NAO_INICIALIZADO);
    auto registro = zenta::teste::RegistroInicializacao(kEmpresa);
    registro.uiCRC ^= 1;
    EXPECT_EQ(semInicio->Inicializa_Padrao(registro), E_QVCR_CRC_INICIALIZACAO_INVALIDO);

    auto ast = Novo();
    EXPECT_EQ(ast->Grava(nullptr, QV_AST_TODAS_FLAGS, TRUE), E_POINTER);
    // Counts without their arrays, and counts over the limits.
    a.os.pTecnicos = nullptr;
    EXPECT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), E_INVALIDARG);
    a.os.pTecnicos = a.tecnicos.data();
    a.os.lQtdTecnicos = zenta::kMaxTecnicosOrdemServico + 1;
    EXPECT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), E_INVALIDARG);
    a.os.lQtdTecnicos = 1;
    a.itens[0][0].pLocais = nullptr;
    EXPECT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), E_INVALIDARG);
    a.itens[0][0].pLocais = a.locais[0].data();
    a.tecnicos[0].lQtdItens = zenta::kMaxItensTecnicoOrdemServico + 1;
    EXPECT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), E_INVALIDARG);
    EXPECT_EQ(a.os.lPtrOS, 0u) << "a refused record gets no key";
    EXPECT_EQ(Quantidade(), 0);

    ListaLida lida;
    REG_AST_LISTA_CHAVES_PS semArray{3, 0, nullptr, nullptr};
    EXPECT_EQ(ast->BuscaRegistros(semArray, &lida.lista, 2), E_INVALIDARG);
    REG_AST_CHAVE_PS chave{1, 0, 1};
    REG_AST_LISTA_CHAVES_PS demais{zenta::kMaxChavesBuscaOrdemServico + 1, 0, nullptr, &chave};
    EXPECT_EQ(ast->BuscaRegistros(demais, &lida.lista, 2), E_INVALIDARG);
    EXPECT_EQ(lida.lista.pRegistros, nullptr);
    EXPECT_EQ(ast->BuscaRegistros(REG_AST_LISTA_CHAVES_PS{1, 0, nullptr, &chave}, nullptr, 2), E_POINTER);

    // A file whose blocks do not match their counts is corrupt, not read past.
    a.tecnicos[0].lQtdItens = 1;
    for (const char* sql : {"UPDATE ordem_servico SET tecnicos = substr(tecnicos, 1, 300)",
                            "UPDATE ordem_servico SET tecnicos = x'00'",
                            "UPDATE ordem_servico SET nr_serie = x'414243'"}) {
        ASSERT_EQ(ast->Grava(&a.os, QV_AST_TODAS_FLAGS, TRUE), S_OK);
        ListaLida boa;
        ASSERT_EQ(Busca(ast.get(), {{a.os.maOS, 0, a.os.lPtrOS}}, boa), S_OK);
        ASSERT_EQ(Banco()->ExecutaSql(sql), S_OK) << sql;
        ListaLida corrompida;
        EXPECT_EQ(Busca(ast.get(), {{a.os.maOS, 0, a.os.lPtrOS}}, corrompida), HRESULT_FROM_WIN32(1392u)) << sql;
        EXPECT_EQ(corrompida.lista.pRegistros, nullptr) << sql;
    }
}

}  // namespace
