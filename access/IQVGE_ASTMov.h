// IQVGE_ASTMov: the technical-assistance module's service orders, as the
// preventive-maintenance logic reaches them. A service order travels as a
// 1712-byte record pointing to its equipment block and its technician
// sections; each section points to its items (products and services) and
// each product item to its stock locations. Only the fields the system sets
// or reads are named; every other byte belongs to the module.
//
// Memory: blocks handed to the module (Grava) stay the caller's; blocks the
// module hands out (BuscaRegistros) are allocated with the COM task
// allocator (the serial number with SysAllocString) and become the
// caller's, freed with LiberaOrdemServico.
#pragma once

#include <cstddef>

#include <zenta/ObjBase.h>
#include <zenta/OleAuto.h>
#include <zenta/QVUnknown.h>
#include <zenta/Unknwn.h>
#include <zenta/WinTypes.h>

namespace zenta {

#pragma pack(push, 1)

// Stock location of a product item (72 bytes).
struct REG_AST_LOCAL_PS {
    BYTE cTipoProducao;
    BYTE cConteudoImportado;
    BYTE cFiller2[6];
    ULONG lPonteiroLocal;
    ULONG lPonteiroLote;
    ULONG lPonteiroForLote;
    ULONG lPonteiroVolume;
    ULONG lPonteiroForEPTETPE;
    ULONG lPonteiroCliEPTETPE;
    ULONG lPonteiroControleFCI;
    BYTE cFiller36[20];
    CY vPIUnitaria;
    CY vQuantidadeEs;
};
static_assert(sizeof(REG_AST_LOCAL_PS) == 72);
static_assert(offsetof(REG_AST_LOCAL_PS, cTipoProducao) == 0);
static_assert(offsetof(REG_AST_LOCAL_PS, cConteudoImportado) == 1);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroLocal) == 8);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroLote) == 12);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroForLote) == 16);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroVolume) == 20);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroForEPTETPE) == 24);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroCliEPTETPE) == 28);
static_assert(offsetof(REG_AST_LOCAL_PS, lPonteiroControleFCI) == 32);
static_assert(offsetof(REG_AST_LOCAL_PS, vPIUnitaria) == 56);
static_assert(offsetof(REG_AST_LOCAL_PS, vQuantidadeEs) == 64);

// Item of a technician section: a product (ucProduto 1) or a service (576 bytes).
struct REG_AST_ITEM_PS {
    BYTE cFiller0[3];
    BYTE ucItem;     // 1
    BYTE ucProduto;  // 1 for a product, 0 for a service
    BYTE cFiller5[19];
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lFiller36;
    ULONG lTabelaPreco;
    ULONG lProdServ;  // product or service code
    BYTE cFiller48[28];
    ULONG lQtdLocais;
    BYTE cFiller80[72];
    CY vQuantidade;
    CY vValorUnitario;
    BYTE cFiller168[384];
    REG_AST_LOCAL_PS* pLocais;
    BYTE cFiller560[16];
};
static_assert(sizeof(REG_AST_ITEM_PS) == 576);
static_assert(offsetof(REG_AST_ITEM_PS, ucItem) == 3);
static_assert(offsetof(REG_AST_ITEM_PS, ucProduto) == 4);
static_assert(offsetof(REG_AST_ITEM_PS, lGrade1) == 24);
static_assert(offsetof(REG_AST_ITEM_PS, lGrade2) == 28);
static_assert(offsetof(REG_AST_ITEM_PS, lGrade3) == 32);
static_assert(offsetof(REG_AST_ITEM_PS, lTabelaPreco) == 40);
static_assert(offsetof(REG_AST_ITEM_PS, lProdServ) == 44);
static_assert(offsetof(REG_AST_ITEM_PS, lQtdLocais) == 76);
static_assert(offsetof(REG_AST_ITEM_PS, vQuantidade) == 152);
static_assert(offsetof(REG_AST_ITEM_PS, vValorUnitario) == 160);
static_assert(offsetof(REG_AST_ITEM_PS, pLocais) == 552);

// One technician's part of a service order with its items (160 bytes).
struct REG_AST_TECNICO_PS {
    BYTE cFiller0[8];
    USHORT usHora;  // minutes since midnight
    BYTE cFiller10[14];
    ULONG lTecnico;
    ULONG lQtdServicos;
    ULONG lFiller32;
    ULONG lQtdProdutos;
    BYTE cFiller40[44];
    ULONG lQtdItens;
    BYTE cFiller88[16];
    ULONG dataConclusao;
    BYTE cFiller108[20];
    REG_AST_ITEM_PS* pItens;
    BYTE cFiller136[24];
};
static_assert(sizeof(REG_AST_TECNICO_PS) == 160);
static_assert(offsetof(REG_AST_TECNICO_PS, usHora) == 8);
static_assert(offsetof(REG_AST_TECNICO_PS, lTecnico) == 24);
static_assert(offsetof(REG_AST_TECNICO_PS, lQtdServicos) == 28);
static_assert(offsetof(REG_AST_TECNICO_PS, lQtdProdutos) == 36);
static_assert(offsetof(REG_AST_TECNICO_PS, lQtdItens) == 84);
static_assert(offsetof(REG_AST_TECNICO_PS, dataConclusao) == 104);
static_assert(offsetof(REG_AST_TECNICO_PS, pItens) == 128);

// The equipment of a service order (304 bytes).
struct REG_AST_EQUIPAMENTO_PS {
    BYTE cFiller0[48];
    ULONG lGrade1;
    ULONG lGrade2;
    ULONG lGrade3;
    ULONG lFiller60;
    ULONG lMarca;
    ULONG lModelo;
    ULONG lTipo;
    ULONG lEquipamento;
    ULONG lProduto;
    BYTE cFiller84[148];
    BSTR bsNrSerie;
    BYTE cFiller240[64];
};
static_assert(sizeof(REG_AST_EQUIPAMENTO_PS) == 304);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lGrade1) == 48);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lGrade2) == 52);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lGrade3) == 56);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lMarca) == 64);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lModelo) == 68);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lTipo) == 72);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lEquipamento) == 76);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, lProduto) == 80);
static_assert(offsetof(REG_AST_EQUIPAMENTO_PS, bsNrSerie) == 232);

// A service order (1712 bytes). It is open to the maintenance logic while
// lSituacao is 1 and ucEncerrada is 0.
struct REG_AST_ORDEM_SERVICO_PS {
    BYTE cFiller0[3];
    BYTE ucTipoOrdem;  // 3
    BYTE cFiller4[2];
    BYTE ucEncerrada;
    BYTE cFiller7;
    BYTE ucOrigemExterna;  // 1
    BYTE cFiller9[55];
    USHORT usHoraAbertura;  // minutes since midnight
    BYTE cFiller66[6];
    ULONG lSituacao;
    ULONG lFilial;
    ULONG lFiller80;
    ULONG lCliente;
    BYTE cFiller88[12];
    ULONG lTecnico;
    BYTE cFiller104[28];
    ULONG lQtdTecnicos;
    BYTE cFiller136[108];
    ULONG lTipoAtendimento;  // 1
    BYTE cFiller248[64];
    ULONG dataAbertura;
    ULONG dataConclusao;
    BYTE cFiller320[104];
    USHORT maOS;
    USHORT usFiller426;
    ULONG lPtrOS;
    BYTE cFiller432[1088];
    ULONG lPtrOrigem;  // the maintenance order's record pointer
    USHORT maOrigem;   // and its month/year
    USHORT usFiller1526;
    BYTE cFiller1528[128];
    REG_AST_EQUIPAMENTO_PS* pEquipamento;
    BYTE cFiller1664[24];
    REG_AST_TECNICO_PS* pTecnicos;
    BYTE cFiller1696[16];
};
static_assert(sizeof(REG_AST_ORDEM_SERVICO_PS) == 1712);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, ucTipoOrdem) == 3);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, ucEncerrada) == 6);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, ucOrigemExterna) == 8);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, usHoraAbertura) == 64);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lSituacao) == 72);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lFilial) == 76);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lCliente) == 84);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lTecnico) == 100);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lQtdTecnicos) == 132);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lTipoAtendimento) == 244);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, dataAbertura) == 312);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, dataConclusao) == 316);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, maOS) == 424);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lPtrOS) == 428);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, lPtrOrigem) == 1520);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, maOrigem) == 1524);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, pEquipamento) == 1656);
static_assert(offsetof(REG_AST_ORDEM_SERVICO_PS, pTecnicos) == 1688);

// The key of a service order (8 bytes).
struct REG_AST_CHAVE_PS {
    USHORT maOS;
    USHORT usFiller;
    ULONG lPtrOS;
};
static_assert(sizeof(REG_AST_CHAVE_PS) == 8);
static_assert(offsetof(REG_AST_CHAVE_PS, maOS) == 0);
static_assert(offsetof(REG_AST_CHAVE_PS, lPtrOS) == 4);

// A list of service-order keys (24 bytes).
struct REG_AST_LISTA_CHAVES_PS {
    ULONG lQtdChaves;
    ULONG lFiller;
    void* pFiller;
    REG_AST_CHAVE_PS* pChaves;
};
static_assert(sizeof(REG_AST_LISTA_CHAVES_PS) == 24);
static_assert(offsetof(REG_AST_LISTA_CHAVES_PS, pChaves) == 16);

// A list of service orders (24 bytes).
struct REG_AST_LISTA_ORDEM_SERVICO_PS {
    ULONG lQtdRegistros;
    ULONG lFiller;
    void* pFiller;
    REG_AST_ORDEM_SERVICO_PS* pRegistros;
};
static_assert(sizeof(REG_AST_LISTA_ORDEM_SERVICO_PS) == 24);
static_assert(offsetof(REG_AST_LISTA_ORDEM_SERVICO_PS, pRegistros) == 16);

#pragma pack(pop)

// {5B0E6F3A-91C4-4D2B-8E7A-3F1D2C4B6A01}
inline constexpr IID IID_IQVGE_ASTMov = {0x5b0e6f3a, 0x91c4, 0x4d2b, {0x8e, 0x7a, 0x3f, 0x1d, 0x2c, 0x4b, 0x6a, 0x01}};
// {5B0E6F3A-91C4-4D2B-8E7A-3F1D2C4B6A02}: the ERP stand-in's technical-assistance server.
inline constexpr CLSID CLSID_QVAssistecErp = {0x5b0e6f3a, 0x91c4, 0x4d2b, {0x8e, 0x7a, 0x3f, 0x1d, 0x2c, 0x4b, 0x6a, 0x02}};

// The flags value that asks for everything.
inline constexpr ULONG QV_AST_TODAS_FLAGS = 0xFFFFFFFFu;

struct IQVGE_ASTMov : IUnknown {
    // Binds the server to the session's company (the record as the service
    // object checks it: version and CRC). Every other call needs it.
    virtual HRESULT STDMETHODCALLTYPE Inicializa_Padrao(_REG_DF_INICIALIZAPS regps) = 0;
    // One service order per key, in the keys' order, in a list allocated
    // for the caller.
    virtual HRESULT STDMETHODCALLTYPE BuscaRegistros(REG_AST_LISTA_CHAVES_PS regChaves,
                                                     REG_AST_LISTA_ORDEM_SERVICO_PS* pRegListaRegistros,
                                                     ULONG flags) = 0;
    // Stores a service order with the blocks it points to. A record whose
    // pointer (lPtrOS) is 0 is new: it gets the next pointer of its
    // month/year (maOS; the current month when maOS is no month), and both
    // are written back into the record. Otherwise the stored order of that
    // key is replaced.
    virtual HRESULT STDMETHODCALLTYPE Grava(REG_AST_ORDEM_SERVICO_PS* pRegAst, ULONG flags, BOOL bValida) = 0;

protected:
    ~IQVGE_ASTMov() = default;
};

// Frees a technician section array and everything under it (counts as the
// sections hold them).
inline void LiberaTecnicosOrdemServico(REG_AST_TECNICO_PS*& pTecnicos, ULONG lQtdTecnicos) {
    if (pTecnicos != nullptr) {
        for (ULONG t = 0; t < lQtdTecnicos; ++t) {
            REG_AST_TECNICO_PS& tecnico = pTecnicos[t];
            if (tecnico.pItens != nullptr)
                for (ULONG i = 0; i < tecnico.lQtdItens; ++i) CoTaskMemFree(tecnico.pItens[i].pLocais);
            CoTaskMemFree(tecnico.pItens);
        }
        CoTaskMemFree(pTecnicos);
    }
    pTecnicos = nullptr;
}

// Frees the blocks a service order points to; its pointers become null.
inline void LiberaOrdemServico(REG_AST_ORDEM_SERVICO_PS& os) {
    if (os.pEquipamento != nullptr) {
        SysFreeString(os.pEquipamento->bsNrSerie);
        CoTaskMemFree(os.pEquipamento);
        os.pEquipamento = nullptr;
    }
    LiberaTecnicosOrdemServico(os.pTecnicos, os.lQtdTecnicos);
}

// Frees a list BuscaRegistros handed out, records and blocks.
inline void LiberaListaOrdemServico(REG_AST_LISTA_ORDEM_SERVICO_PS& lista) {
    if (lista.pRegistros != nullptr) {
        for (ULONG i = 0; i < lista.lQtdRegistros; ++i) LiberaOrdemServico(lista.pRegistros[i]);
        CoTaskMemFree(lista.pRegistros);
    }
    lista = {};
}

}  // namespace zenta
