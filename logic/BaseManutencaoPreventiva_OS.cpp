// The service orders an order raises in the technical-assistance module, and
// the order's links to them in the relationship file.
#include "logic/BaseManutencaoPreventiva.h"

#include <cstring>
#include <string>
#include <vector>

#include "access/IQVGE_ASTMov.h"
#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "platform/CodePage.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace {

using zenta::AlocaArray;

// The flags handed to the technical-assistance module.
class CQVFlagsAST {
public:
    explicit CQVFlagsAST(ULONG ulFlags) : m_ulFlags(ulFlags) {}
    ULONG GetFlag() const { return m_ulFlags; }

private:
    ULONG m_ulFlags;
};

// Releases the module's interface on every path.
class CQVReferenciaAST {
public:
    CQVReferenciaAST() = default;
    ~CQVReferenciaAST() {
        if (m_p != nullptr) m_p->Release();
    }
    CQVReferenciaAST(const CQVReferenciaAST&) = delete;
    CQVReferenciaAST& operator=(const CQVReferenciaAST&) = delete;
    IQVGE_ASTMov*& Ponteiro() { return m_p; }
    IQVGE_ASTMov* operator->() const { return m_p; }

private:
    IQVGE_ASTMov* m_p = nullptr;
};

// Frees what a service order built here points to, on every path.
class CQVOrdemServicoMontada {
public:
    CQVOrdemServicoMontada() { std::memset(static_cast<void*>(&m_reg), 0, sizeof m_reg); }
    ~CQVOrdemServicoMontada() { zenta::LiberaOrdemServico(m_reg); }
    CQVOrdemServicoMontada(const CQVOrdemServicoMontada&) = delete;
    CQVOrdemServicoMontada& operator=(const CQVOrdemServicoMontada&) = delete;
    REG_AST_ORDEM_SERVICO_PS& Registro() { return m_reg; }

private:
    REG_AST_ORDEM_SERVICO_PS m_reg;
};

// The same for a list the module handed out, and the key list handed to it.
class CQVBuscaOrdensServico {
public:
    CQVBuscaOrdensServico() = default;
    ~CQVBuscaOrdensServico() {
        zenta::LiberaListaOrdemServico(regListaRegistros);
        CoTaskMemFree(regChaves.pChaves);
    }
    CQVBuscaOrdensServico(const CQVBuscaOrdensServico&) = delete;
    CQVBuscaOrdensServico& operator=(const CQVBuscaOrdensServico&) = delete;
    REG_AST_LISTA_CHAVES_PS regChaves{};
    REG_AST_LISTA_ORDEM_SERVICO_PS regListaRegistros{};
};

// Minutes since midnight now.
USHORT HoraAtualEmMinutos() {
    const zenta::RelogioSistema::Instante agora = zenta::RelogioSistema::Agora();
    return static_cast<USHORT>(agora.hora * 60 + agora.minuto);
}

// The serial number (Windows-1252) as a BSTR; null for an empty one.
BSTR NrSerieBstr(const char (&szNrSerie)[52]) {
    const std::string_view texto = zenta::TextoCampo(szNrSerie);
    if (texto.empty()) return nullptr;
    std::vector<OLECHAR> largo(texto.size() + 1, u'\0');
    const int unidades = MultiByteToWideChar(1252, 0, texto.data(), static_cast<int>(texto.size()), largo.data(),
                                             static_cast<int>(largo.size()));
    if (unidades <= 0) return nullptr;
    return SysAllocStringLen(largo.data(), static_cast<UINT>(unidades));
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::GetIGEAssistec(IQVGE_ASTMov*& pIAssitec) {
    pIAssitec = nullptr;
    CQVAcessoServidores acessos;
    QV_CHECK(GetAcessoServidores(acessos));
    if (acessos.pGerenciador == nullptr) QV_CHECK(E_NOTIMPL);
    QV_CHECK(acessos.pGerenciador->GetIGEAssistec(&pIAssitec));
    if (pIAssitec == nullptr) QV_CHECK(E_POINTER);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::GeraOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs, REG_PTR_OS& regPtrOSGerada) {
    bool bSobrescreveu = false;
    if (const HRESULT hr = VerificaOSGeradas(regPs, bSobrescreveu); FAILED(hr)) {
        QV_LOG_HR(hr, "VerificaOSGeradas(regMovimentacao, bSobrescreveu)");
        return hr;
    }
    // One job, one service order: an order that already has one (open and
    // now rewritten, or closed, that is billed) raises no other.
    if (bSobrescreveu || regPs.listaRelacionamentos.lQtdRelacionamentoOS != 0) return S_OK;

    const REG_QVDMC chave(regPs.dmcChave);
    CQVOrdemServicoMontada montada;
    REG_AST_ORDEM_SERVICO_PS& regAst = montada.Registro();
    regAst.ucTipoOrdem = 3;
    regAst.ucOrigemExterna = 1;
    regAst.usHoraAbertura = HoraAtualEmMinutos();
    regAst.lSituacao = 1;
    regAst.lFilial = regPs.lFilial;
    regAst.lCliente = regPs.lCliente;
    regAst.lTecnico = regPs.lTecnico;
    regAst.lTipoAtendimento = 1;
    regAst.dataAbertura = REG_QVDMA::Hoje().GetData();
    regAst.dataConclusao = regPs.dataConclusao;
    // A new order has no month yet: it is saved in the current one.
    regAst.maOS = chave.GetMa() != 0 ? chave.GetMa() : QVMAAtual();
    regAst.lPtrOS = 0;
    regAst.lPtrOrigem = static_cast<ULONG>(chave.GetPonteiro());
    regAst.maOrigem = chave.GetMa();

    QV_CHECK(AlocaArray(1, regAst.pEquipamento));
    REG_AST_EQUIPAMENTO_PS& equipamento = *regAst.pEquipamento;
    equipamento.lGrade1 = regPs.lPonteiroGrade1;
    equipamento.lGrade2 = regPs.lPonteiroGrade2;
    equipamento.lGrade3 = regPs.lPonteiroGrade3;
    equipamento.lMarca = regPs.lMarca;
    equipamento.lModelo = regPs.lModelo;
    equipamento.lTipo = regPs.lTipo;
    equipamento.lEquipamento = regPs.lEquipamento;
    equipamento.lProduto = regPs.lProduto;
    equipamento.bsNrSerie = NrSerieBstr(regPs.szNrSerie);
    if (zenta::TextoCampo(regPs.szNrSerie).size() != 0 && equipamento.bsNrSerie == nullptr) QV_CHECK(E_OUTOFMEMORY);

    QV_CHECK(MontaTecnicosOS(regPs, regAst));

    CQVReferenciaAST pIAssitec;
    QV_CHECK(GetIGEAssistec(pIAssitec.Ponteiro()));
    const CQVFlagsAST flags(QV_AST_TODAS_FLAGS);
    const HRESULT hr = pIAssitec->Grava(&regAst, flags.GetFlag(), TRUE);
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "pIAssitec->Grava(&regAst, flags.GetFlag(), TRUE)");
        return hr;
    }
    regPtrOSGerada.maOS = regAst.maOS;
    regPtrOSGerada.lPtrOS = regAst.lPtrOS;
    return hr;
}

HRESULT CBaseManutencaoPreventiva::VerificaOSGeradas(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                     bool& bSobrescreveu) {
    bSobrescreveu = false;
    const auto& relacionamentos = regMovimentacao.listaRelacionamentos;
    if (relacionamentos.lQtdRelacionamentoOS == 0) return S_OK;
    if (relacionamentos.pRelacionamentos == nullptr) QV_CHECK(E_INVALIDARG);

    CQVBuscaOrdensServico busca;
    REG_AST_LISTA_CHAVES_PS& regChaves = busca.regChaves;
    QV_CHECK(AlocaArray(relacionamentos.lQtdRelacionamentoOS, regChaves.pChaves));
    regChaves.lQtdChaves = relacionamentos.lQtdRelacionamentoOS;
    for (ULONG i = 0; i < regChaves.lQtdChaves; ++i) {
        regChaves.pChaves[i].maOS = relacionamentos.pRelacionamentos[i].maOS;
        regChaves.pChaves[i].lPtrOS = relacionamentos.pRelacionamentos[i].lPtrOS;
    }

    CQVReferenciaAST pIAssitec;
    QV_CHECK(GetIGEAssistec(pIAssitec.Ponteiro()));
    REG_AST_LISTA_ORDEM_SERVICO_PS& regListaRegistros = busca.regListaRegistros;
    const CQVFlagsAST flags(2);
    HRESULT hr = pIAssitec->BuscaRegistros(regChaves, &regListaRegistros, flags.GetFlag());
    if (FAILED(hr)) {
        QV_LOG_HR(hr, "pIAssitec->BuscaRegistros(regChaves, &regListaRegistros, flags.GetFlag())");
        return hr;
    }
    // A list whose count has no array is taken as empty.
    const ULONG quantidade = regListaRegistros.pRegistros != nullptr ? regListaRegistros.lQtdRegistros : 0;
    for (ULONG i = 0; i < quantidade; ++i) {
        REG_AST_ORDEM_SERVICO_PS& regAst = regListaRegistros.pRegistros[i];
        if (regAst.lSituacao != 1 || regAst.ucEncerrada != 0) continue;
        // The open service order follows the order: whom it bills, where
        // and by whom, and the sections priced at that customer's table.
        regAst.lFilial = regMovimentacao.lFilial;
        regAst.lCliente = regMovimentacao.lCliente;
        regAst.lTecnico = regMovimentacao.lTecnico;
        regAst.dataConclusao = regMovimentacao.dataConclusao;
        zenta::LiberaTecnicosOrdemServico(regAst.pTecnicos, regAst.lQtdTecnicos);
        regAst.lQtdTecnicos = 0;
        hr = MontaTecnicosOS(regMovimentacao, regAst);
        if (FAILED(hr)) {
            QV_LOG_HR(hr, "MontaTecnicosOS(regMovimentacao, regAst)");
            break;
        }
        const CQVFlagsAST flagsLocal(QV_AST_TODAS_FLAGS);
        hr = pIAssitec->Grava(&regAst, flagsLocal.GetFlag(), TRUE);
        if (FAILED(hr)) {
            QV_LOG_HR(hr, "pIAssitec->Grava(&regAst, flagsLocal.GetFlag(), TRUE)");
            break;
        }
        bSobrescreveu = true;
    }
    return hr;
}

HRESULT CBaseManutencaoPreventiva::OSVinculadaAberta(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                     bool& bAberta) {
    bAberta = false;
    const auto& relacionamentos = regMovimentacao.listaRelacionamentos;
    if (relacionamentos.lQtdRelacionamentoOS == 0) return S_OK;
    if (relacionamentos.pRelacionamentos == nullptr) QV_CHECK(E_INVALIDARG);
    CQVBuscaOrdensServico busca;
    QV_CHECK(AlocaArray(relacionamentos.lQtdRelacionamentoOS, busca.regChaves.pChaves));
    busca.regChaves.lQtdChaves = relacionamentos.lQtdRelacionamentoOS;
    for (ULONG i = 0; i < busca.regChaves.lQtdChaves; ++i) {
        busca.regChaves.pChaves[i].maOS = relacionamentos.pRelacionamentos[i].maOS;
        busca.regChaves.pChaves[i].lPtrOS = relacionamentos.pRelacionamentos[i].lPtrOS;
    }
    CQVReferenciaAST pIAssitec;
    QV_CHECK(GetIGEAssistec(pIAssitec.Ponteiro()));
    QV_CHECK(pIAssitec->BuscaRegistros(busca.regChaves, &busca.regListaRegistros, 2));
    const auto& lista = busca.regListaRegistros;
    const ULONG quantidade = lista.pRegistros != nullptr ? lista.lQtdRegistros : 0;
    for (ULONG i = 0; i < quantidade && !bAberta; ++i)
        bAberta = lista.pRegistros[i].lSituacao == 1 && lista.pRegistros[i].ucEncerrada == 0;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::MontaTecnicosOS(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                   REG_AST_ORDEM_SERVICO_PS& regAst) {
    regAst.pTecnicos = nullptr;
    regAst.lQtdTecnicos = 0;
    const auto& produtos = regMovimentacao.listaProdutos;
    const auto& servicos = regMovimentacao.listaServicos;
    if ((produtos.lQtdProdutos != 0 && produtos.pProdutos == nullptr) ||
        (servicos.lQtdServicos != 0 && servicos.pServicos == nullptr))
        QV_CHECK(E_INVALIDARG);

    // The technicians of the product lines, then of the service lines, each once.
    std::vector<ULONG> tecnicos;
    const auto acrescenta = [&tecnicos](ULONG lTecnico) {
        for (ULONG t : tecnicos)
            if (t == lTecnico) return;
        tecnicos.push_back(lTecnico);
    };
    for (ULONG i = 0; i < produtos.lQtdProdutos; ++i) acrescenta(produtos.pProdutos[i].lTecnico);
    for (ULONG i = 0; i < servicos.lQtdServicos; ++i) acrescenta(servicos.pServicos[i].lTecnico);
    if (tecnicos.empty()) return S_OK;

    // A missing accessor is logged by each item that needs it.
    IQVAcessoEmpresarial* pEmpresarial = nullptr;
    CQVAcessoServidores acessos;
    if (SUCCEEDED(GetAcessoServidores(acessos))) pEmpresarial = acessos.pEmpresarial;

    QV_CHECK(AlocaArray(tecnicos.size(), regAst.pTecnicos));
    regAst.lQtdTecnicos = static_cast<ULONG>(tecnicos.size());
    for (std::size_t t = 0; t < tecnicos.size(); ++t) {
        REG_AST_TECNICO_PS& regTecnico = regAst.pTecnicos[t];
        regTecnico.usHora = regAst.usHoraAbertura;
        regTecnico.lTecnico = tecnicos[t];
        regTecnico.dataConclusao = regMovimentacao.dataConclusao;
        ULONG lQtdProdutos = 0;
        ULONG lQtdServicos = 0;
        for (ULONG i = 0; i < produtos.lQtdProdutos; ++i) lQtdProdutos += produtos.pProdutos[i].lTecnico == tecnicos[t];
        for (ULONG i = 0; i < servicos.lQtdServicos; ++i) lQtdServicos += servicos.pServicos[i].lTecnico == tecnicos[t];
        QV_CHECK(AlocaArray(static_cast<std::size_t>(lQtdProdutos) + lQtdServicos, regTecnico.pItens));
        regTecnico.lQtdItens = lQtdProdutos + lQtdServicos;
        regTecnico.lQtdProdutos = lQtdProdutos;
        regTecnico.lQtdServicos = lQtdServicos;
        QV_CHECK(AdicionaProdutos(regMovimentacao, regTecnico, pEmpresarial));
        QV_CHECK(AdicionaServicos(regMovimentacao, regTecnico, pEmpresarial));
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::AdicionaProdutos(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                    REG_AST_TECNICO_PS& regTecnico,
                                                    IQVAcessoEmpresarial* pEmpresarial) {
    const auto GetAcessoEmpresarial = [pEmpresarial]() { return pEmpresarial; };
    const auto& produtos = regMovimentacao.listaProdutos;
    const ULONG lCliente = regMovimentacao.lCliente;
    ULONG k = 0;
    for (ULONG i = 0; i < produtos.lQtdProdutos && k < regTecnico.lQtdProdutos; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_PS& linha = produtos.pProdutos[i];
        if (linha.lTecnico != regTecnico.lTecnico) continue;
        REG_AST_ITEM_PS& regProd = regTecnico.pItens[k++];
        regProd.ucItem = 1;
        regProd.ucProduto = 1;
        regProd.lGrade1 = linha.lGrade1;
        regProd.lGrade2 = linha.lGrade2;
        regProd.lGrade3 = linha.lGrade3;
        regProd.lProdServ = linha.lProduto;
        regProd.vQuantidade = linha.vQuantidadeUtilizada;

        const auto& locais = linha.listaLocal;
        if (locais.lQtdEstoque != 0 && locais.pLocaisEstoque == nullptr) QV_CHECK(E_INVALIDARG);
        QV_CHECK(AlocaArray(locais.lQtdEstoque, regProd.pLocais));
        regProd.lQtdLocais = locais.lQtdEstoque;
        for (ULONG l = 0; l < locais.lQtdEstoque; ++l) {
            const _REG_MOVIMENTACAO_LOCAL_PRODUTO_PS& origem = locais.pLocaisEstoque[l];
            REG_AST_LOCAL_PS& destino = regProd.pLocais[l];
            destino.cTipoProducao = origem.cTipoProducao;
            destino.cConteudoImportado = origem.cConteudoImportado;
            destino.lPonteiroLocal = origem.lPonteiroLocal;
            destino.lPonteiroLote = origem.lPonteiroLote;
            destino.lPonteiroForLote = origem.lPonteiroForLote;
            destino.lPonteiroVolume = origem.lPonteiroVolume;
            destino.lPonteiroForEPTETPE = origem.lPonteiroForEPTETPE;
            destino.lPonteiroCliEPTETPE = origem.lPonteiroCliEPTETPE;
            destino.lPonteiroControleFCI = origem.lPonteiroControleFCI;
            destino.vPIUnitaria = origem.vPIUnitaria;
            destino.vQuantidadeEs = origem.vQuantidadeEs;
        }

        // The client's price table (1 when it has none, or cannot be read),
        // and the product's sale price at it.
        USHORT usPonteiroTabelaPreco = 1;
        if (GetAcessoEmpresarial() == nullptr) {
            QV_LOG_HR(E_NOTIMPL, "GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT)");
        } else {
            CQVDadosDF_CFRT dadosCFRT;
            if (const HRESULT hr = GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT); FAILED(hr))
                QV_LOG_HR(hr, "GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT)");
            else if (dadosCFRT.GetPonteiroTabelaPreco() != 0)
                usPonteiroTabelaPreco = dadosCFRT.GetPonteiroTabelaPreco();
        }
        regProd.lTabelaPreco = usPonteiroTabelaPreco;

        CQVPosicaoProduto regPosicaops;
        regPosicaops.lProduto = linha.lProduto;
        regPosicaops.lGrade1 = linha.lGrade1;
        regPosicaops.lGrade2 = linha.lGrade2;
        regPosicaops.lGrade3 = linha.lGrade3;
        CQVDadosGE_Preco dadosPreco;
        const HRESULT hrPreco =
            GetAcessoEmpresarial() == nullptr
                ? E_NOTIMPL
                : GetAcessoEmpresarial()->LePrecoProduto(regPosicaops, usPonteiroTabelaPreco, &dadosPreco);
        if (FAILED(hrPreco))
            QV_LOG_HR(hrPreco, "GetAcessoEmpresarial()->LePrecoProduto(regPosicaops, usPonteiroTabelaPreco, &dadosPreco)");
        else
            regProd.vValorUnitario = dadosPreco.GetPrecoVendaV8();
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::AdicionaServicos(const _REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao,
                                                    REG_AST_TECNICO_PS& regTecnico,
                                                    IQVAcessoEmpresarial* pEmpresarial) {
    const auto GetAcessoEmpresarial = [pEmpresarial]() { return pEmpresarial; };
    const auto& servicos = regMovimentacao.listaServicos;
    const ULONG lCliente = regMovimentacao.lCliente;
    // Services follow the technician's products.
    ULONG k = regTecnico.lQtdProdutos;
    for (ULONG i = 0; i < servicos.lQtdServicos && k < regTecnico.lQtdItens; ++i) {
        const _REG_MOVIMENTACAO_MANUTENCAO_SERVICO_PS& linha = servicos.pServicos[i];
        if (linha.lTecnico != regTecnico.lTecnico) continue;
        REG_AST_ITEM_PS& regServ = regTecnico.pItens[k++];
        regServ.ucItem = 1;
        regServ.lProdServ = linha.lServico;
        regServ.vQuantidade = linha.vQuantidadeUtilizada;

        USHORT usPonteiroTabelaPreco = 1;
        if (GetAcessoEmpresarial() == nullptr) {
            QV_LOG_HR(E_NOTIMPL, "GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT)");
        } else {
            CQVDadosDF_CFRT dadosCFRT;
            if (const HRESULT hr = GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT); FAILED(hr))
                QV_LOG_HR(hr, "GetAcessoEmpresarial()->LeBufferCFRTLibPla(lCliente, &dadosCFRT)");
            else if (dadosCFRT.GetPonteiroTabelaPreco() != 0)
                usPonteiroTabelaPreco = dadosCFRT.GetPonteiroTabelaPreco();
        }
        regServ.lTabelaPreco = usPonteiroTabelaPreco;

        CQVDadosDF_Servico dadosServico;
        const HRESULT hrServico = GetAcessoEmpresarial() == nullptr
                                      ? E_NOTIMPL
                                      : GetAcessoEmpresarial()->LeBufferServico(regServ.lProdServ, &dadosServico);
        if (FAILED(hrServico))
            QV_LOG_HR(hrServico, "GetAcessoEmpresarial()->LeBufferServico(regServ.lProdServ, &dadosServico)");
        else
            regServ.vValorUnitario = dadosServico.GetValor();
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::GravaRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regPs) {
    const auto& lista = regPs.listaRelacionamentos;
    std::vector<REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1> arrRelacionamento(lista.lQtdRelacionamentoOS);
    for (ULONG i = 0; i < lista.lQtdRelacionamentoOS; ++i) {
        REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1& r = arrRelacionamento[i];
        std::memset(static_cast<void*>(&r), 0, sizeof r);
        r.lPtrOS = lista.pRelacionamentos[i].lPtrOS;
        r.maOS = lista.pRelacionamentos[i].maOS;
        r.dmcMovimentacao.uiChave = lista.pRelacionamentos[i].dmcMovimentacao;  // at an odd offset: no member calls
    }
    ULONGLONG uiPosicao = 0;
    QV_CHECK(m_pDataBase->m_RelacionamentoMovOS.GravaColecao(uiPosicao, arrRelacionamento));
    regPs.lRelacionamentoOS = static_cast<ULONG>(uiPosicao);
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeRelacionamentoMovimentacaoOS(_REG_MOVIMENTACAO_MANUT_PREV_PS& regMovimentacao) {
    auto& lista = regMovimentacao.listaRelacionamentos;
    const ULONG quantidade = lista.lQtdRelacionamentoOS;
    lista.pRelacionamentos = nullptr;
    lista.lQtdRelacionamentoOS = 0;
    if (quantidade == 0) return S_OK;
    auto& arquivo = m_pDataBase->m_RelacionamentoMovOS;
    const ULONGLONG primeiro = regMovimentacao.lRelacionamentoOS;
    if (primeiro == 0 || primeiro > arquivo.GetQtdRegistros() || quantidade > arquivo.GetQtdRegistros() - primeiro + 1)
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    QV_CHECK(zenta::AlocaArray(quantidade, lista.pRelacionamentos));
    lista.lQtdRelacionamentoOS = quantidade;
    for (ULONG i = 0; i < quantidade; ++i) {
        REG_RELACIONAMENTO_MOVIMENTACAO_OS_V1 reg{};
        QV_CHECK(arquivo.Le(primeiro + i, reg));
        lista.pRelacionamentos[i].dmcMovimentacao = reg.dmcMovimentacao.uiChave;
        lista.pRelacionamentos[i].lPtrOS = reg.lPtrOS;
        lista.pRelacionamentos[i].maOS = reg.maOS;
    }
    return S_OK;
}

}  // namespace zenta
