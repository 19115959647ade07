// A company of a given size for the scale benchmarks: plans saved through the
// service, then orders (with products, stock places, services and texts) and
// the readings' history appended in bulk through the company's database, one
// write per month file, so that 100,000 or 1,000,000 orders take seconds.
//
// Proportions, for N orders: N / 10 plans of two maintenances each (the
// demo's lathe plan, each with its own serial number), so five orders per
// maintenance; N history readings; two texts per order. The orders go round
// the plans' maintenances, so other proportions work too. Orders and readings
// are spread evenly over the last `meses` months (the current one
// included), oldest first. Every maintenance's newest order is open, the
// older ones concluded, so a verification opens nothing and every run of it
// does the same work.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <zenta/zenta.h>

#include "standins/erp/QVErpCadastros.h"
#include "logic/BaseManutencaoPreventiva.h"
#include "server/QVJsonRegistros.h"
#include "support/Inicializacao.h"
#include "tools/zentactl/DadosDemo.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

namespace zenta::bench {

[[noreturn]] inline void Falha(const char* passo, HRESULT hr) {
    std::fprintf(stderr, "bench: %s failed: 0x%08X\n", passo, static_cast<unsigned>(hr));
    std::exit(1);
}
inline void Confere(HRESULT hr, const char* passo) {
    if (FAILED(hr)) Falha(passo, hr);
}

// A service object created in this process and initialised for a company.
inline IQVGE_ManutencaoPreventiva* NovaSessao(const std::string& empresa, ULONG sessao = 42) {
    IQVGE_ManutencaoPreventiva* p = nullptr;
    Confere(CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p)),
            "CoCreateInstance");
    Confere(p->Inicializa_Padrao(zenta::teste::RegistroInicializacao(empresa, 7, sessao)), "Inicializa_Padrao");
    return p;
}

// The month/year code `atras` months before the current month.
inline USHORT MesAtras(int atras) {
    const USHORT atual = QVMAAtual();
    int mes = QVMAGetMes(atual), ano = QVMAGetAno(atual);
    mes -= atras;
    while (mes < 1) {
        mes += 12;
        --ano;
    }
    return QVMAFromMesAno(mes, ano);
}

// The day the verification counts as done: with it stored, opening the
// company verifies nothing; with 0 the next first session verifies.
inline void DiaVerificado(IQVGE_ManutencaoPreventiva* s, ULONG dia) {
    _REG_CADASTRO_PROPRIEDADES_PS p{};
    Confere(s->LePropriedades(&p), "LePropriedades");
    p.dataUltimaVerificacaoMedicao = dia;
    p.ucNaoGravarLog = 1;
    Confere(s->GravaPropriedades(p), "GravaPropriedades");
}

// What the benchmarks need of a built company.
struct Empresa {
    std::string nome;
    ULONG qtdOrdens = 0;
    std::vector<LONG> planos;           // positions
    std::vector<ULONG> codigos;         // maintenance codes, two per plan, in plan order
    std::vector<ULONGLONG> ordens;      // keys of the bulk orders, oldest first
};

// The demo's lathe plan with serial number `serie`.
inline nlohmann::json PlanoModelo(const std::string& serie) {
    nlohmann::json plano = nlohmann::json::parse(zenta::ctl::demo::Planos()[0]);
    plano["idEquipamentoPS"]["szNrSerie"] = serie;
    return plano;
}

inline std::string Serie(std::size_t i) {
    char s[32];
    std::snprintf(s, sizeof s, "ESC-%07zu", i);
    return s;
}

// Saves `qtdPlanos` plans through the service.
inline void GravaPlanos(IQVGE_ManutencaoPreventiva* s, ULONG qtdPlanos) {
    DiaVerificado(s, REG_QVDMA::Hoje().GetData());
    std::string erro;
    for (ULONG i = 0; i < qtdPlanos; ++i) {
        _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano{};
        if (FAILED(JsonParaRegistro(PlanoModelo(Serie(i)), plano, erro))) {
            std::fprintf(stderr, "bench: plan: %s\n", erro.c_str());
            std::exit(1);
        }
        LONG posicao = 0;
        const HRESULT hr = s->Grava(&posicao, plano);
        LiberaRegistro(plano);
        Confere(hr, "Grava (plano)");
    }
}

// Appends `qtdOrdens` orders (and their readings' history) to the open
// company `nome`, whose plans are already saved, over `meses` months.
inline Empresa AcrescentaOrdens(const std::string& nome, ULONG qtdOrdens, int meses) {
    Empresa e;
    e.nome = nome;
    e.qtdOrdens = qtdOrdens;
    CQVDataBase_GE_ManutencaoPreventiva* db = CBaseManutencaoPreventiva::m_ContainerFacade.GetDataBase(nome);
    if (db == nullptr) Falha("GetDataBase", E_POINTER);
    for (ULONGLONG pos = 1; pos <= db->m_ManutencaoPreventiva.GetQtdRegistros(); ++pos) {
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
        Confere(db->m_ManutencaoPreventiva.Le(pos, mestre), "Le (plano)");
        e.planos.push_back(static_cast<LONG>(pos));
        for (ULONG j = 0; j < mestre.lQtdManutencoes; ++j) {
            REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 m{};
            Confere(db->m_ManutencaoEquipamento.Le(static_cast<ULONGLONG>(mestre.lManutencoes) + j, m), "Le (manutencao)");
            e.codigos.push_back(m.lCodigoManutencao);
        }
    }

    // The texts of every order, appended at once: order k's observation at
    // primeiroTexto + 2k, its occurrence right after.
    std::vector<std::string> textos;
    textos.reserve(2 * static_cast<std::size_t>(qtdOrdens));
    for (ULONG k = 0; k < qtdOrdens; ++k) {
        textos.push_back("Ordem " + std::to_string(k) + ": verificar folgas do barramento e lubrificação.");
        textos.push_back("Ocorrência " + std::to_string(k) + ": sem anomalias.");
    }
    ULONGLONG primeiroTexto = 0;
    Confere(db->m_MovManutPrevTXT.GravaColecao(primeiroTexto, std::span<const std::string>(textos)), "textos");
    textos = {};

    const std::size_t qtdCodigos = e.codigos.size();
    const std::size_t porMes = (qtdOrdens + meses - 1) / static_cast<std::size_t>(meses);
    e.ordens.reserve(qtdOrdens);
    ULONG k = 0;
    for (int atras = meses - 1; atras >= 0 && k < qtdOrdens; --atras) {
        const USHORT ma = MesAtras(atras);
        const ULONGLONG chaveMes = QVMAToChave(ma);
        const ULONG dataMes = REG_QVDMA(1, QVMAGetMes(ma), QVMAGetAno(ma)).GetData();
        std::vector<REG_MOVIMENTACAO_MANUT_PREV_V1> ordens;
        std::vector<REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1> produtos;
        std::vector<REG_MOVIMENTACAO_LOCAL_PRODUTO_V1> locais;
        std::vector<REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1> servicos;
        std::vector<REG_CADASTRO_HISTORICO_MEDICOES_V1> historico;
        for (std::size_t n = 0; n < porMes && k < qtdOrdens; ++n, ++k) {
            const std::size_t m = k % qtdCodigos;
            const std::size_t plano = m / 2;
            const ULONG pos = static_cast<ULONG>(ordens.size() + 1);
            REG_MOVIMENTACAO_MANUT_PREV_V1 o{};
            o.dmcChave.SetDMC(pos, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, ma);
            o.lFilial = 1;
            o.lCliente = 101;
            // The last order of each maintenance is open.
            const bool bAberta = k + qtdCodigos >= qtdOrdens;
            o.lSituacao = bAberta ? 0 : 1;
            o.dataConclusao = bAberta ? 0 : dataMes;
            o.lPonteiroCadastro = static_cast<ULONG>(e.planos[plano]);
            o.lEquipamento = 1001;
            o.lMarca = 1;
            o.lModelo = 10;
            o.lTipo = 1;
            std::snprintf(o.szNrSerie, sizeof o.szNrSerie, "%s", Serie(plano).c_str());
            o.lTecnico = 7;
            o.lCodigoManutencao = e.codigos[m];
            o.lVersaoRegistro = 1;
            o.lUsuarioConclusao = 7;
            o.dataPrevista = dataMes;
            std::snprintf(o.szNomeManutencao, sizeof o.szNomeManutencao, "Revisão trimestral");
            o.lObservacao = static_cast<ULONG>(primeiroTexto + 2ull * k);
            o.lOcorrencia = o.lObservacao + 1;
            o.lProdutosMovimentacao = static_cast<ULONG>(produtos.size() + 1);
            o.lQtdProdutos = 1;
            o.lServicosMovimentacao = static_cast<ULONG>(servicos.size() + 1);
            o.lQtdServicos = 1;
            ordens.push_back(o);

            REG_MOVIMENTACAO_MANUTENCAO_PRODUTO_V1 p{};
            p.lProduto = 502;
            p.vQuantidadePrevista.int64 = 10'000;
            p.vQuantidadeUtilizada.int64 = 10'000;
            p.lTecnico = 7;
            p.lLocalEstoque = static_cast<ULONG>(locais.size() + 1);
            p.lQtdEstoque = 1;
            produtos.push_back(p);
            REG_MOVIMENTACAO_LOCAL_PRODUTO_V1 l{};
            l.lPonteiroLocal = 1;
            l.vQuantidadeEs.int64 = 10'000;
            locais.push_back(l);
            REG_MOVIMENTACAO_MANUTENCAO_SERVICO_V1 sv{};
            sv.lServico = 1;
            sv.lTecnico = 7;
            sv.vQuantidadePrevista.int64 = 40'000;
            servicos.push_back(sv);

            REG_CADASTRO_HISTORICO_MEDICOES_V1 h{};
            h.dataMedicaoCalculo = h.dataGravacao = h.dataMedicaoInformada = dataMes;
            h.lEquipamento = 1001;
            h.lMarca = 1;
            h.lModelo = 10;
            h.lTipo = 1;
            std::snprintf(h.szNrSerie, sizeof h.szNrSerie, "%s", Serie(plano).c_str());
            h.vQuantidadeMedicao.int64 = static_cast<LONGLONG>(1200 + k) * 10'000;
            h.lPonteiroCadastro = static_cast<ULONG>(e.planos[plano]);
            h.cMedicaoAtiva = 1;
            historico.push_back(h);
            e.ordens.push_back(o.dmcChave.Get64());
        }
        ULONGLONG pos = 0;
        Confere(db->m_MovLocalProduto.GravaColecao(chaveMes, pos, locais), "locais");
        pos = 0;
        Confere(db->m_MovProdutoManutPrev.GravaColecao(chaveMes, pos, produtos), "produtos");
        pos = 0;
        Confere(db->m_MovServicoManutPrev.GravaColecao(chaveMes, pos, servicos), "servicos");
        pos = 0;
        Confere(db->m_MovManutPrev.GravaColecao(chaveMes, pos, ordens), "ordens");
        pos = 0;
        Confere(db->m_HistoricoMedicoes.GravaColecao(chaveMes, pos, historico), "historico");
    }
    return e;
}

}  // namespace zenta::bench
