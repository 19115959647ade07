// Maintenance plans: saving a plan with its children, reading it back,
// selecting, excluding, and the trees of equipment and products.
//
// A plan is a master record in m_ManutencaoPreventiva; each list of children
// is a run of consecutive records in its own file, found by the parent's
// pointer and count. A save always appends new runs and only then rewrites
// the master record: a failure part-way leaves the stored plan as it was
// (the runs already appended stay unreferenced until start-up compaction).
#include "logic/BaseManutencaoPreventiva.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "diagnostics/QVCheck.h"
#include "records/QVCamposRegistro.h"
#include "values/QVDMA.h"
#include "values/QVDMC.h"

namespace zenta {

namespace {

using zenta::AlocaArray;
using zenta::ListaValida;
using zenta::RunDentro;
using zenta::CopiaEquipamento;
using zenta::CopiaIdentificacao;
using zenta::CopiaTexto;
using zenta::TextoCampo;
using zenta::TextoTerminado;

// ---- Checks on what a client hands in ------------------------------------------------

// The observation text of a frequency: `ulQtdBytes` counts the terminating
// zero, which must be inside the bytes given. An empty text is valid.
HRESULT TextoObservacao(const _REG_DF_TEXTOPS& texto, std::string_view& sTexto) {
    sTexto = {};
    if (texto.ulQtdBytes == 0) return S_OK;
    if (texto.pTexto == nullptr) return E_INVALIDARG;
    const void* fim = std::memchr(texto.pTexto, 0, texto.ulQtdBytes);
    if (fim == nullptr) return E_INVALIDARG;
    sTexto = {reinterpret_cast<const char*>(texto.pTexto),
              static_cast<std::size_t>(static_cast<const BYTE*>(fim) - texto.pTexto)};
    return S_OK;
}

bool IdentificacaoValida(const _REG_CADASTRO_IDENTIFICACAO_EQUIPAMENTO_PS& id) {
    return TextoTerminado(id.szCodigo) && TextoTerminado(id.szCapacidade) && TextoTerminado(id.szAnoFabricacao) &&
           TextoTerminado(id.szNrSerie) && TextoTerminado(id.szNrPatrimonial) && TextoTerminado(id.szMotor) &&
           TextoTerminado(id.szFabricante) && TextoTerminado(id.szCampoDinamico1) &&
           TextoTerminado(id.szCampoDinamico2) && TextoTerminado(id.szCampoDinamico3) &&
           TextoTerminado(id.szCampoDinamico4) && TextoTerminado(id.szCampoDinamico5);
}

bool ClienteValido(const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS& c) {
    return TextoTerminado(c.szLocalFisico) && TextoTerminado(c.szEndereco) && TextoTerminado(c.szNumero) &&
           TextoTerminado(c.szComplemento) && TextoTerminado(c.szBairro) && TextoTerminado(c.szCEP) &&
           TextoTerminado(c.szContato);
}

// The whole plan is checked before anything is written, so that bad input
// is refused with nothing stored.
HRESULT ValidaPlano(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    if (!IdentificacaoValida(plano.idEquipamentoPS)) return E_INVALIDARG;
    const auto& manutencoes = plano.listaManutencoes;
    const auto& clientes = plano.listaClientes;
    if (!ListaValida(manutencoes.lQtdManutencoes, manutencoes.pManutencoes)) return E_INVALIDARG;
    if (!ListaValida(clientes.lQtdClientes, clientes.pClientes)) return E_INVALIDARG;
    for (ULONG i = 0; i < clientes.lQtdClientes; ++i)
        if (!ClienteValido(clientes.pClientes[i])) return E_INVALIDARG;
    for (ULONG i = 0; i < manutencoes.lQtdManutencoes; ++i) {
        const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = manutencoes.pManutencoes[i];
        std::string_view observacao;
        if (!TextoTerminado(m.szNomeManutencao) || !TextoTerminado(m.frequenciaPS.szParadaManutencao) ||
            FAILED(TextoObservacao(m.frequenciaPS.szObservacao, observacao)))
            return E_INVALIDARG;
        if (!ListaValida(m.listaServicos.lQtdServicos, m.listaServicos.pServicos) ||
            !ListaValida(m.listaProdutos.lQtdProdutos, m.listaProdutos.pProdutos))
            return E_INVALIDARG;
        for (ULONG p = 0; p < m.listaProdutos.lQtdProdutos; ++p) {
            const auto& locais = m.listaProdutos.pProdutos[p].listaLocal;
            if (!ListaValida(locais.lQtdEstoque, locais.pLocaisEstoque)) return E_INVALIDARG;
        }
    }
    return S_OK;
}

// ---- Stored form <-> interface form ------------------------------------------------------

void MestreDoPlano(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano, REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& reg) {
    std::memset(static_cast<void*>(&reg), 0, sizeof reg);
    const auto& id = plano.idEquipamentoPS;
    CopiaIdentificacao(reg, id);
    reg.lManutencoes = plano.lManutencoes;
    reg.lQtdManutencoes = plano.listaManutencoes.lQtdManutencoes;
    reg.lClientes = plano.lClientes;
    reg.lQtdClientes = plano.listaClientes.lQtdClientes;
    reg.bExcluido = plano.bExcluido;
    reg.cOrigem = plano.cOrigem;
    reg.dmcOrigem.uiChave = plano.dmcOrigem;  // a field at an odd offset: no member calls
    reg.lPonteiroMedicao = plano.lPonteiroMedicao;
    reg.lUsuarioUltimaAlteracao = plano.lUsuarioUltimaAlteracao;
}

// The plan's own fields from its master record; lists and the meter are
// read separately.
void PlanoDoMestre(const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& reg, ULONG uiPosicao,
                   _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    CopiaIdentificacao(plano.idEquipamentoPS, reg);
    plano.bExcluido = reg.bExcluido;
    plano.lPonteiroRegistro = uiPosicao;
    plano.lManutencoes = reg.lManutencoes;
    plano.lClientes = reg.lClientes;
    plano.lUsuarioUltimaAlteracao = reg.lUsuarioUltimaAlteracao;
    plano.lPonteiroMedicao = reg.lPonteiroMedicao;
    plano.cOrigem = reg.cOrigem;
    plano.dmcOrigem = reg.dmcOrigem.uiChave;
    plano.listaManutencoes.lQtdManutencoes = reg.lQtdManutencoes;
    plano.listaClientes.lQtdClientes = reg.lQtdClientes;
}

// Copies a client between its stored and interface forms (the same fields;
// the destination's other bytes are left as they are).
template <class TDestino, class TOrigem>
void CopiaCliente(TDestino& d, const TOrigem& o) {
    d.lCliente = o.lCliente;
    d.lMunicipio = o.lMunicipio;
    CopiaTexto(d.szLocalFisico, o.szLocalFisico);
    CopiaTexto(d.szEndereco, o.szEndereco);
    CopiaTexto(d.szNumero, o.szNumero);
    CopiaTexto(d.szComplemento, o.szComplemento);
    CopiaTexto(d.szBairro, o.szBairro);
    CopiaTexto(d.szCEP, o.szCEP);
    CopiaTexto(d.szContato, o.szContato);
    d.dataInicial = o.dataInicial;
    d.dataFinal = o.dataFinal;
    d.bSemNumero = o.bSemNumero;
}

REG_CADASTRO_MANUTENCAO_CLIENTE_V1 ClienteArmazenado(const _REG_CADASTRO_MANUTENCAO_CLIENTE_PS& c) {
    REG_CADASTRO_MANUTENCAO_CLIENTE_V1 reg;
    std::memset(static_cast<void*>(&reg), 0, sizeof reg);
    CopiaCliente(reg, c);
    return reg;
}

REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 FrequenciaArmazenada(const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f,
                                                          ULONG lObservacao) {
    REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 reg;
    std::memset(static_cast<void*>(&reg), 0, sizeof reg);
    reg.lFrequenciaTempo = f.lFrequenciaTempo;
    reg.lFrequenciaLimiteTempo = f.lFrequenciaLimiteTempo;
    reg.lTipoFrequenciaTempo = f.lTipoFrequenciaTempo;
    reg.lTipoFrequencia = f.lTipoFrequencia;
    reg.lQtdCasasDecimaisMedicao = f.lQtdCasasDecimaisMedicao;
    reg.vFrequenciaMedicao.int64 = f.vFrequenciaMedicao.int64;
    reg.vFrequenciaLimiteMedicao.int64 = f.vFrequenciaLimiteMedicao.int64;
    reg.vMedicaoInicial.int64 = f.vMedicaoInicial.int64;
    reg.dataInicial = f.dataInicial;
    reg.lObservacao = lObservacao;
    reg.horaDuracao.int64 = f.horaDuracao.int64;
    CopiaTexto(reg.szParadaManutencao, f.szParadaManutencao);
    return reg;
}

void FrequenciaDaArmazenada(const REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1& reg,
                            _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f) {
    f.lFrequenciaTempo = reg.lFrequenciaTempo;
    f.lFrequenciaLimiteTempo = reg.lFrequenciaLimiteTempo;
    f.lTipoFrequenciaTempo = reg.lTipoFrequenciaTempo;
    f.lTipoFrequencia = reg.lTipoFrequencia;
    f.lQtdCasasDecimaisMedicao = reg.lQtdCasasDecimaisMedicao;
    f.vFrequenciaMedicao.int64 = reg.vFrequenciaMedicao.int64;
    f.vFrequenciaLimiteMedicao.int64 = reg.vFrequenciaLimiteMedicao.int64;
    f.vMedicaoInicial.int64 = reg.vMedicaoInicial.int64;
    f.dataInicial = reg.dataInicial;
    f.lObservacao = reg.lObservacao;
    f.horaDuracao.int64 = reg.horaDuracao.int64;
    CopiaTexto(f.szParadaManutencao, reg.szParadaManutencao);
}

REG_CADASTRO_MANUTENCAO_SERVICO_V1 ServicoArmazenado(const _REG_CADASTRO_MANUTENCAO_SERVICO_PS& s) {
    REG_CADASTRO_MANUTENCAO_SERVICO_V1 reg;
    std::memset(static_cast<void*>(&reg), 0, sizeof reg);
    reg.lServico = s.lServico;
    reg.lTecnico = s.lTecnico;
    reg.vQuantidadePrevista.int64 = s.vQuantidadePrevista.int64;
    return reg;
}

REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1 LocalArmazenado(const _REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_PS& l) {
    REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1 r;
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    zenta::CopiaLocalEstoque(r, l);
    return r;
}

void ManutencaoDaArmazenada(const REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1& reg,
                            _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m) {
    CopiaTexto(m.szNomeManutencao, reg.szNomeManutencao);
    m.lServicoCadastro = reg.lServicoCadastro;
    m.lFrequencia = reg.lFrequencia;
    m.lTecnico = reg.lTecnico;
    m.lServicosManutencao = reg.lServicosManutencao;
    m.listaServicos.lQtdServicos = reg.lQtdServicos;
    m.lProdutosManutencao = reg.lProdutosManutencao;
    m.listaProdutos.lQtdProdutos = reg.lQtdProdutos;
    m.lCodigoManutencao = reg.lCodigoManutencao;
    m.lQuantidadeDiasFalta = reg.lQuantidadeDiasFalta;
    m.dataFinalContrato = reg.dataFinalContrato;
    m.dataUltimaVerificacaoMedicao = reg.dataUltimaVerificacaoMedicao;
    m.vQuantidadeFalta.int64 = reg.vQuantidadeFalta.int64;
    m.bMovimentacaoGerada = reg.bMovimentacaoGerada != 0 ? 1 : 0;
    m.bTemMedicaoInformada = reg.bTemMedicaoInformada != 0 ? 1 : 0;
}

}  // namespace

// ---- Writing children ---------------------------------------------------------------------

namespace {

// A text into a text file: an empty text writes nothing and leaves the
// pointer as it was; any other is written as a new text.
HRESULT GravaString(CQVTextFile& arquivo, std::string_view sTexto, ULONG& lPonteiro) {
    if (sTexto.empty()) return S_OK;
    ULONGLONG posicao = 0;
    QV_CHECK(arquivo.Grava(posicao, sTexto));
    lPonteiro = static_cast<ULONG>(posicao);
    return S_OK;
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::MaiorCodigoManutencao(ULONG& lMaior) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::lock_guard trava(db.m_travaGravacao);
    auto& cache = db.m_maiorCodigoManutencao;
    if (!cache.bCalculado) {
        // Once: the orders too, whose maintenance may be gone from every
        // plan (and, after a compaction, from the file) while its code stays
        // in use by them.
        for (const ULONGLONG chave : db.m_MovManutPrev.GetChaves()) {
            const ULONGLONG total = db.m_MovManutPrev.GetQtdRegistros(chave);
            for (ULONGLONG pos = 1; pos <= total; ++pos) {
                REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
                QV_CHECK(db.m_MovManutPrev.Le(chave, pos, ordem));
                cache.lMaior = std::max(cache.lMaior, ULONG{ordem.lCodigoManutencao});  // packed: a copy
            }
        }
        cache.uiManutencoesVistas = 0;
        cache.bCalculado = true;
    }
    // The maintenance records appended since the last look (all of them
    // when the file was reloaded shorter, by a compaction).
    auto& arquivo = db.m_ManutencaoEquipamento;
    const ULONGLONG total = arquivo.GetQtdRegistros();
    if (total < cache.uiManutencoesVistas) cache.uiManutencoesVistas = 0;
    for (ULONGLONG pos = cache.uiManutencoesVistas + 1; pos <= total; ++pos) {
        REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 reg{};
        QV_CHECK(arquivo.Le(pos, reg));
        cache.lMaior = std::max(cache.lMaior, ULONG{reg.lCodigoManutencao});  // a copy: the record is packed
    }
    cache.uiManutencoesVistas = total;
    lMaior = cache.lMaior;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::GravaManutencoes(const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                    ULONG& lManutencoes) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    const auto& lista = regCadastro.listaManutencoes;
    // New codes follow the highest code the company has given, so a code is
    // never given twice (the record count would repeat codes once the
    // start-up compaction shrinks the file).
    ULONG lProximoCodigo = 0;
    for (ULONG i = 0; i < lista.lQtdManutencoes && lProximoCodigo == 0; ++i) {
        if (lista.pManutencoes[i].lCodigoManutencao != 0) continue;
        ULONG lMaior = 0;
        QV_CHECK(MaiorCodigoManutencao(lMaior));
        if (lMaior > std::numeric_limits<ULONG>::max() - lista.lQtdManutencoes) QV_CHECK(E_UNEXPECTED);
        lProximoCodigo = lMaior + 1;
    }
    const ULONG hoje = REG_QVDMA::Hoje().GetData();

    std::vector<REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1> registros(lista.lQtdManutencoes);
    for (ULONG i = 0; i < lista.lQtdManutencoes; ++i) {
        const _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = lista.pManutencoes[i];
        const _REG_CADASTRO_MANUTENCAO_FREQUENCIA_PS& f = m.frequenciaPS;
        REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1& reg = registros[i];
        std::memset(static_cast<void*>(&reg), 0, sizeof reg);

        // The frequency: its observation first, then the record itself.
        std::string_view observacao;
        QV_CHECK(TextoObservacao(f.szObservacao, observacao));
        ULONG lObservacao = f.lObservacao;
        QV_CHECK(GravaString(db.m_ManutencaoFrequenciaTXT, observacao, lObservacao));
        ULONGLONG posFrequencia = 0;
        QV_CHECK(db.m_ManutencaoFrequencia.Grava(posFrequencia, FrequenciaArmazenada(f, lObservacao)));
        reg.lFrequencia = static_cast<ULONG>(posFrequencia);

        // Planned services: an empty list writes nothing and is stored with
        // pointer 0 (the start-up compaction refuses a pointer without a
        // count, and the caller's would name nothing of this plan).
        reg.lServicosManutencao = 0;
        reg.lQtdServicos = m.listaServicos.lQtdServicos;
        if (m.listaServicos.lQtdServicos != 0) {
            std::vector<REG_CADASTRO_MANUTENCAO_SERVICO_V1> servicos;
            servicos.reserve(m.listaServicos.lQtdServicos);
            for (ULONG s = 0; s < m.listaServicos.lQtdServicos; ++s)
                servicos.push_back(ServicoArmazenado(m.listaServicos.pServicos[s]));
            ULONGLONG posServicos = 0;
            QV_CHECK(db.m_ManutencaoServico.GravaColecao(posServicos, servicos));
            reg.lServicosManutencao = static_cast<ULONG>(posServicos);
        }

        // Planned products, each after its stock places.
        std::vector<REG_CADASTRO_MANUTENCAO_PRODUTO_V1> produtos(m.listaProdutos.lQtdProdutos);
        for (ULONG p = 0; p < m.listaProdutos.lQtdProdutos; ++p) {
            const _REG_CADASTRO_MANUTENCAO_PRODUTO_PS& produto = m.listaProdutos.pProdutos[p];
            REG_CADASTRO_MANUTENCAO_PRODUTO_V1& regProduto = produtos[p];
            std::memset(static_cast<void*>(&regProduto), 0, sizeof regProduto);
            regProduto.lLocalEstoque = 0;  // no stock place: pointer 0, as for services
            if (produto.listaLocal.lQtdEstoque != 0) {
                std::vector<REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1> locais;
                locais.reserve(produto.listaLocal.lQtdEstoque);
                for (ULONG l = 0; l < produto.listaLocal.lQtdEstoque; ++l)
                    locais.push_back(LocalArmazenado(produto.listaLocal.pLocaisEstoque[l]));
                ULONGLONG posLocais = 0;
                QV_CHECK(db.m_ManutencaoLocalProduto.GravaColecao(posLocais, locais));
                regProduto.lLocalEstoque = static_cast<ULONG>(posLocais);
            }
            regProduto.lProduto = produto.lProduto;
            regProduto.lGrade1 = produto.lGrade1;
            regProduto.lGrade2 = produto.lGrade2;
            regProduto.lGrade3 = produto.lGrade3;
            regProduto.lTecnico = produto.lTecnico;
            regProduto.vQuantidadePrevista.int64 = produto.vQuantidadePrevista.int64;
            regProduto.lQtdEstoque = produto.listaLocal.lQtdEstoque;
        }
        // Handed over even when empty: the pointer then takes what an empty
        // write answers (0), and the count 0 means it is never read.
        ULONGLONG posProdutos = 0;
        QV_CHECK(db.m_ManutencaoProduto.GravaColecao(posProdutos, produtos));
        reg.lProdutosManutencao = static_cast<ULONG>(posProdutos);
        reg.lQtdProdutos = m.listaProdutos.lQtdProdutos;

        // Code and counters.
        const bool bNova = m.lCodigoManutencao == 0;
        reg.lCodigoManutencao = bNova ? lProximoCodigo++ : m.lCodigoManutencao;
        reg.lQuantidadeDiasFalta = m.lQuantidadeDiasFalta;
        reg.dataUltimaVerificacaoMedicao = m.dataUltimaVerificacaoMedicao;
        reg.vQuantidadeFalta.int64 = m.vQuantidadeFalta.int64;
        if (bNova || m.bTemMedicaoInformada == 0) {
            // Armed: the counters start again from the frequency. Days count
            // from its first day; without one, a new maintenance counts from
            // today and an existing one, armed and not counted since, from
            // the day it was armed: a save that only arms it again (an edit
            // of the plan on a day nothing was counted) must not restart its
            // count.
            if (f.lTipoFrequencia != 3)
                reg.lQuantidadeDiasFalta =
                    zenta::DiasDoIntervalo(f.lFrequenciaTempo, f.lTipoFrequenciaTempo, f.lFrequenciaLimiteTempo);
            const ULONG armada = m.dataUltimaVerificacaoMedicao;
            if (f.dataInicial != 0)
                reg.dataUltimaVerificacaoMedicao = f.dataInicial;
            else if (bNova || armada == 0 || armada > hoje)
                reg.dataUltimaVerificacaoMedicao = hoje;
            else
                reg.dataUltimaVerificacaoMedicao = armada;
            reg.vQuantidadeFalta.int64 = f.vFrequenciaLimiteMedicao.int64 != 0 ? f.vFrequenciaLimiteMedicao.int64
                                                                                : f.vFrequenciaMedicao.int64;
        }

        CopiaTexto(reg.szNomeManutencao, m.szNomeManutencao);
        reg.lServicoCadastro = m.lServicoCadastro;
        reg.lTecnico = m.lTecnico;
        reg.dataFinalContrato = m.dataFinalContrato;
        reg.bMovimentacaoGerada = m.bMovimentacaoGerada != 0 ? 1 : 0;
        reg.bTemMedicaoInformada = m.bTemMedicaoInformada != 0 ? 1 : 0;
    }

    ULONGLONG posManutencoes = 0;
    QV_CHECK(db.m_ManutencaoEquipamento.GravaColecao(posManutencoes, registros));
    lManutencoes = static_cast<ULONG>(posManutencoes);
    return S_OK;
}

// ---- Saving a plan ----------------------------------------------------------------------

namespace {

// The identification of a plan (interface or stored form) as a reading carries it.
template <class TId>
_REG_CADASTRO_HISTORICO_MEDICOES_PS LeituraDaIdentificacao(const TId& id) {
    _REG_CADASTRO_HISTORICO_MEDICOES_PS r;
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    CopiaEquipamento(r, id);
    return r;
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::OutroPlanoComIdentificacao(const _REG_CADASTRO_HISTORICO_MEDICOES_PS& leitura,
                                                              ULONG uiPosicao, bool& bHa) {
    bHa = false;
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    QV_CHECK(db.IndexaIdentificacoes());
    std::vector<ULONGLONG> candidatos;
    const HRESULT hr = db.m_ManutencaoPreventiva.ExisteIndex(zenta::ChaveIdentificacaoMedicao(leitura), candidatos,
                                                             zenta::INDICE_PLANO_IDENTIFICACAO);
    if (hr == E_QVCR_COLUNA_INDEXACAO_INVALIDA) {
        candidatos.clear();
        for (ULONGLONG pos = 1; pos <= db.m_ManutencaoPreventiva.GetQtdRegistros(); ++pos) candidatos.push_back(pos);
    } else {
        QV_CHECK(hr);
    }
    for (const ULONGLONG pos : candidatos) {
        if (pos == uiPosicao) continue;
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 outro{};
        QV_CHECK(db.m_ManutencaoPreventiva.Le(pos, outro));
        if (outro.bExcluido != 0) continue;
        const _REG_CADASTRO_HISTORICO_MEDICOES_PS id = LeituraDaIdentificacao(outro);
        if (id.lEquipamento == leitura.lEquipamento && id.lProduto == leitura.lProduto &&
            id.lMarca == leitura.lMarca && id.lModelo == leitura.lModelo && id.lTipo == leitura.lTipo &&
            id.lGrade1 == leitura.lGrade1 && id.lGrade2 == leitura.lGrade2 && id.lGrade3 == leitura.lGrade3 &&
            zenta::IguaisSemCaixa(TextoCampo(id.szNrSerie), TextoCampo(leitura.szNrSerie))) {
            bHa = true;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::Grava(LONG* pPosicao, const _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& RegCadastro) {
    if (pPosicao == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (*pPosicao < 0) QV_CHECK(E_INVALIDARG);
    QV_CHECK(ValidaPlano(RegCadastro));
    // A plan read from one position cannot be written over another.
    if (*pPosicao != 0 && RegCadastro.lPonteiroRegistro != 0 &&
        RegCadastro.lPonteiroRegistro != static_cast<ULONG>(*pPosicao))
        QV_CHECK(E_INVALIDARG);

    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    const EscopoAvisos avisos(*this);  // e-mail notices go out once the lock is let go
    std::lock_guard trava(db.m_travaGravacao);
    QV_CHECK(ValidaDominioPlano(RegCadastro));
    ULONGLONG uiPosicao = static_cast<ULONG>(*pPosicao);
    const auto& id = RegCadastro.idEquipamentoPS;

    // Everything is read and decided before the first write, so that a save
    // refused on what is stored leaves the company as it was. What the
    // caller says about stored positions is not taken: the plan's reading
    // comes from the stored plan, and a maintenance keeps its code only
    // when the stored plan has it (a copy, or a maintenance brought from
    // another plan, is new and gets a code of its own).
    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS plano = RegCadastro;
    std::vector<_REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS> manutencoes(
        RegCadastro.listaManutencoes.pManutencoes,
        RegCadastro.listaManutencoes.pManutencoes + RegCadastro.listaManutencoes.lQtdManutencoes);
    plano.listaManutencoes.pManutencoes = manutencoes.empty() ? nullptr : manutencoes.data();
    plano.lPonteiroMedicao = 0;
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 anterior{};
    std::unordered_set<ULONG> codigosDoPlano;
    if (uiPosicao != 0) {
        QV_CHECK(db.m_ManutencaoPreventiva.Le(uiPosicao, anterior));
        plano.lPonteiroMedicao = anterior.lPonteiroMedicao;
        if (anterior.lQtdManutencoes != 0 &&
            !RunDentro(anterior.lManutencoes, anterior.lQtdManutencoes, db.m_ManutencaoEquipamento.GetQtdRegistros()))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        for (ULONG i = 0; i < anterior.lQtdManutencoes; ++i) {
            REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 m{};
            QV_CHECK(db.m_ManutencaoEquipamento.Le(static_cast<ULONGLONG>(anterior.lManutencoes) + i, m));
            codigosDoPlano.insert(ULONG{m.lCodigoManutencao});  // a copy: the record is packed
        }
    }
    std::unordered_set<ULONG> codigosUsados;
    for (auto& m : manutencoes) {
        const ULONG lCodigo = m.lCodigoManutencao;  // a copy: the record is packed
        const bool bDoPlano =
            lCodigo != 0 && codigosDoPlano.count(lCodigo) != 0 && codigosUsados.insert(lCodigo).second;
        if (bDoPlano) continue;
        // New: no order, nothing counted yet.
        m.lCodigoManutencao = 0;
        m.bMovimentacaoGerada = 0;
        m.bTemMedicaoInformada = 0;
    }

    // 1. An existing plan whose identification changed takes its current
    //    reading along, or the reading the new identification already has
    //    (one current reading per identification); one whose status changed
    //    marks its reading active or not. Decided here, written after the
    //    master record.
    ULONGLONG posMedicaoLevada = 0;
    REG_CADASTRO_MEDICAO_ATUAL_V1 medicaoLevada{};
    if (uiPosicao != 0) {
        const bool bMudouId = anterior.lEquipamento != id.lEquipamento || anterior.lMarca != id.lMarca ||
                              anterior.lModelo != id.lModelo || anterior.lTipo != id.lTipo ||
                              anterior.lProduto != id.lProduto || anterior.lGrade1 != id.lGrade1 ||
                              anterior.lGrade2 != id.lGrade2 || anterior.lGrade3 != id.lGrade3 ||
                              TextoCampo(anterior.szNrSerie) != TextoCampo(id.szNrSerie);
        const bool bMudouSituacao = anterior.lSituacao != id.lSituacao;
        if (bMudouId || bMudouSituacao) {
            const _REG_CADASTRO_HISTORICO_MEDICOES_PS leituraAntiga = LeituraDaIdentificacao(anterior);
            const _REG_CADASTRO_HISTORICO_MEDICOES_PS leituraNova = LeituraDaIdentificacao(id);
            ULONGLONG posAntiga = 0, posNova = 0;
            REG_CADASTRO_MEDICAO_ATUAL_V1 antiga{}, nova{};
            QV_CHECK(PosicaoMedicaoAtual(leituraAntiga, posAntiga, antiga));
            if (bMudouId) QV_CHECK(PosicaoMedicaoAtual(leituraNova, posNova, nova));
            // The old reading is the plan's own, or nobody's and no other
            // plan has the old identification; another plan's stays.
            bool bPropria = posAntiga != 0 && antiga.lPonteiroCadastro == uiPosicao;
            if (posAntiga != 0 && antiga.lPonteiroCadastro == 0) {
                bool bOutro = false;
                QV_CHECK(OutroPlanoComIdentificacao(leituraAntiga, static_cast<ULONG>(uiPosicao), bOutro));
                bPropria = !bOutro;
            }
            if (posNova != 0) {
                // The new identification's reading is the plan's now, and
                // its meter stands where that reading does: nothing counts.
                plano.lPonteiroMedicao = static_cast<ULONG>(posNova);
                if (nova.vQuantidadeMedicao.int64 != 0)
                    plano.idEquipamentoPS.regMedidorAtual.vQuantidadeAtual.int64 = nova.vQuantidadeMedicao.int64;
            } else if (bPropria) {
                medicaoLevada = antiga;
                posMedicaoLevada = posAntiga;
                if (bMudouId) {
                    CopiaEquipamento(medicaoLevada, id);
                    medicaoLevada.lPonteiroCadastro = static_cast<ULONG>(uiPosicao);
                    plano.lPonteiroMedicao = static_cast<ULONG>(posAntiga);
                }
                medicaoLevada.cMedicaoAtiva = id.lSituacao == 1 ? 1 : 0;
            } else if (bMudouId) {
                // Nothing to take along: the plan's reading is found (or
                // made) for the new identification below.
                plano.lPonteiroMedicao = 0;
            }
        }
    }

    // 2. The maintenances, with their frequencies, services and products.
    QV_CHECK(GravaManutencoes(plano, plano.lManutencoes));

    // 3. The clients, as a new run (handed over even when empty).
    {
        std::vector<REG_CADASTRO_MANUTENCAO_CLIENTE_V1> clientes;
        clientes.reserve(RegCadastro.listaClientes.lQtdClientes);
        for (ULONG i = 0; i < RegCadastro.listaClientes.lQtdClientes; ++i)
            clientes.push_back(ClienteArmazenado(RegCadastro.listaClientes.pClientes[i]));
        ULONGLONG posClientes = 0;
        QV_CHECK(db.m_ManutencaoCliente.GravaColecao(posClientes, clientes));
        plano.lClientes = static_cast<ULONG>(posClientes);
    }

    // 4. The meter, as a new record.
    {
        ULONG lMedidor = 0;
        QV_CHECK(GravaMedidor(plano.idEquipamentoPS.regMedidorAtual, lMedidor));
        plano.idEquipamentoPS.lMedidor = lMedidor;
    }

    // 5. and 6. The master record, last.
    plano.lUsuarioUltimaAlteracao = GetUsuario();
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre;
    MestreDoPlano(plano, mestre);
    QV_CHECK(db.m_ManutencaoPreventiva.Grava(uiPosicao, mestre));
    *pPosicao = static_cast<LONG>(uiPosicao);
    if (posMedicaoLevada != 0) QV_CHECK(db.m_MedicaoAtual.Grava(posMedicaoLevada, medicaoLevada));

    // 7. to 9. A plan with maintenances has a current reading for its
    //    identification.
    if (RegCadastro.listaManutencoes.lQtdManutencoes == 0) return S_OK;
    _REG_CADASTRO_MEDICAO_ATUAL_PS medicao;
    std::memset(static_cast<void*>(&medicao), 0, sizeof medicao);
    _REG_CADASTRO_HISTORICO_MEDICOES_PS& r = medicao.regMedicaoAtual;
    r = LeituraDaIdentificacao(id);
    const ULONG hoje = REG_QVDMA::Hoje().GetData();
    // Active as the plan is: the reading of an inactive plan is not listed
    // among the active readings (as when an identification changes).
    r.cMedicaoAtiva = id.lSituacao == 1 ? 1 : 0;
    r.lPonteiroCadastro = static_cast<ULONG>(uiPosicao);
    r.dataMedicaoCalculo = hoje;
    r.dataMedicaoInformada = hoje;
    r.lQtdCasasDecimais = RegCadastro.listaManutencoes.pManutencoes[0].frequenciaPS.lQtdCasasDecimaisMedicao;
    if (RegCadastro.lPonteiroRegistro != 0) {
        QV_CHECK(RefazMedicaoInicial(medicao));
    } else {
        QV_CHECK(GravaMedicaoAtual(&medicao, FALSE, TRUE));
    }
    return S_OK;
}

// ---- Reading a plan ------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::LeManutencoes(const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regMestre,
                                                 _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro,
                                                 bool bCompleto) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    auto& lista = regCadastro.listaManutencoes;
    lista.lQtdManutencoes = 0;
    lista.pManutencoes = nullptr;
    if (regMestre.lQtdManutencoes == 0) return S_OK;
    // A count that reaches past the file is refused before anything is allocated.
    if (!RunDentro(regMestre.lManutencoes, regMestre.lQtdManutencoes, db.m_ManutencaoEquipamento.GetQtdRegistros()))
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    QV_CHECK(AlocaArray(regMestre.lQtdManutencoes, lista.pManutencoes));
    lista.lQtdManutencoes = regMestre.lQtdManutencoes;

    for (ULONG i = 0; i < regMestre.lQtdManutencoes; ++i) {
        _REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_PS& m = lista.pManutencoes[i];
        REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 reg{};
        QV_CHECK(db.m_ManutencaoEquipamento.Le(static_cast<ULONGLONG>(regMestre.lManutencoes) + i, reg));
        ManutencaoDaArmazenada(reg, m);
        // The counts are only filled as their lists are.
        m.listaServicos.lQtdServicos = 0;
        m.listaProdutos.lQtdProdutos = 0;

        // The frequency and its observation.
        REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 frequencia{};
        QV_CHECK(db.m_ManutencaoFrequencia.Le(reg.lFrequencia, frequencia));
        FrequenciaDaArmazenada(frequencia, m.frequenciaPS);
        if (frequencia.lObservacao != 0) {
            std::string texto;
            QV_CHECK(db.m_ManutencaoFrequenciaTXT.Le(frequencia.lObservacao, texto));
            // The text ends at its first zero, as it is handed out.
            texto.resize(std::strlen(texto.c_str()));
            BYTE* pTexto = nullptr;
            QV_CHECK(AlocaArray(texto.size() + 1, pTexto));
            std::memcpy(pTexto, texto.data(), texto.size());
            m.frequenciaPS.szObservacao.pTexto = pTexto;
            m.frequenciaPS.szObservacao.ulQtdBytes = static_cast<ULONG>(texto.size() + 1);
        }
        if (!bCompleto) continue;

        if (reg.lQtdServicos != 0) {
            if (!RunDentro(reg.lServicosManutencao, reg.lQtdServicos, db.m_ManutencaoServico.GetQtdRegistros()))
                QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
            QV_CHECK(AlocaArray(reg.lQtdServicos, m.listaServicos.pServicos));
            m.listaServicos.lQtdServicos = reg.lQtdServicos;
            for (ULONG s = 0; s < reg.lQtdServicos; ++s) {
                REG_CADASTRO_MANUTENCAO_SERVICO_V1 servico{};
                QV_CHECK(db.m_ManutencaoServico.Le(static_cast<ULONGLONG>(reg.lServicosManutencao) + s, servico));
                m.listaServicos.pServicos[s].lServico = servico.lServico;
                m.listaServicos.pServicos[s].lTecnico = servico.lTecnico;
                m.listaServicos.pServicos[s].vQuantidadePrevista.int64 = servico.vQuantidadePrevista.int64;
            }
        }
        if (reg.lQtdProdutos != 0) {
            if (!RunDentro(reg.lProdutosManutencao, reg.lQtdProdutos, db.m_ManutencaoProduto.GetQtdRegistros()))
                QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
            QV_CHECK(AlocaArray(reg.lQtdProdutos, m.listaProdutos.pProdutos));
            m.listaProdutos.lQtdProdutos = reg.lQtdProdutos;
            for (ULONG p = 0; p < reg.lQtdProdutos; ++p) {
                _REG_CADASTRO_MANUTENCAO_PRODUTO_PS& produto = m.listaProdutos.pProdutos[p];
                REG_CADASTRO_MANUTENCAO_PRODUTO_V1 regProduto{};
                QV_CHECK(db.m_ManutencaoProduto.Le(static_cast<ULONGLONG>(reg.lProdutosManutencao) + p, regProduto));
                produto.lProduto = regProduto.lProduto;
                produto.lGrade1 = regProduto.lGrade1;
                produto.lGrade2 = regProduto.lGrade2;
                produto.lGrade3 = regProduto.lGrade3;
                produto.lTecnico = regProduto.lTecnico;
                produto.lLocalEstoque = regProduto.lLocalEstoque;
                produto.vQuantidadePrevista.int64 = regProduto.vQuantidadePrevista.int64;
                if (regProduto.lQtdEstoque == 0) continue;
                if (!RunDentro(regProduto.lLocalEstoque, regProduto.lQtdEstoque,
                               db.m_ManutencaoLocalProduto.GetQtdRegistros()))
                    QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
                QV_CHECK(AlocaArray(regProduto.lQtdEstoque, produto.listaLocal.pLocaisEstoque));
                produto.listaLocal.lQtdEstoque = regProduto.lQtdEstoque;
                for (ULONG l = 0; l < regProduto.lQtdEstoque; ++l) {
                    REG_CADASTRO_MANUTENCAO_LOCAL_PRODUTO_V1 local{};
                    QV_CHECK(db.m_ManutencaoLocalProduto.Le(static_cast<ULONGLONG>(regProduto.lLocalEstoque) + l,
                                                            local));
                    zenta::CopiaLocalEstoque(produto.listaLocal.pLocaisEstoque[l], local);
                }
            }
        }
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LeClientes(const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regMestre,
                                              _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& regCadastro) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    auto& lista = regCadastro.listaClientes;
    lista.lQtdClientes = 0;
    lista.pClientes = nullptr;
    if (regMestre.lQtdClientes == 0) return S_OK;
    if (!RunDentro(regMestre.lClientes, regMestre.lQtdClientes, db.m_ManutencaoCliente.GetQtdRegistros()))
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
    QV_CHECK(AlocaArray(regMestre.lQtdClientes, lista.pClientes));
    lista.lQtdClientes = regMestre.lQtdClientes;
    for (ULONG i = 0; i < regMestre.lQtdClientes; ++i) {
        REG_CADASTRO_MANUTENCAO_CLIENTE_V1 reg{};
        QV_CHECK(db.m_ManutencaoCliente.Le(static_cast<ULONGLONG>(regMestre.lClientes) + i, reg));
        CopiaCliente(lista.pClientes[i], reg);
    }
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::LePlano(ULONG uiPosicao, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::memset(static_cast<void*>(&plano), 0, sizeof plano);
    REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
    QV_CHECK(db.m_ManutencaoPreventiva.Le(uiPosicao, mestre));
    PlanoDoMestre(mestre, uiPosicao, plano);
    QV_CHECK(LeManutencoes(mestre, plano, true));
    QV_CHECK(LeClientes(mestre, plano));
    REG_CADASTRO_MEDIDORES_V1 medidor{};
    QV_CHECK(db.m_Medidores.Le(mestre.lMedidor, medidor));
    _REG_CADASTRO_MEDIDORES_PS& m = plano.idEquipamentoPS.regMedidorAtual;
    m.vQuantidadeInicial.int64 = medidor.vQuantidadeInicial.int64;
    m.vQuantidadeAtual.int64 = medidor.vQuantidadeAtual.int64;
    m.lPonteiroUnMedida = medidor.lPonteiroUnMedida;
    m.lPonteiroCadastro = medidor.lPonteiroCadastro;
    m.lQuantidadeMedidoresSubstituidos = medidor.lQuantidadeMedidoresSubstituidos;
    m.cTipoUnidadeMedida = medidor.cTipoUnidadeMedida;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::Le(LONG lPos, _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegCadastro) {
    if (pRegCadastro == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    const HRESULT hr = LePlano(static_cast<ULONG>(lPos), *pRegCadastro);
    // A read that fails part-way hands out nothing.
    if (FAILED(hr)) zenta::LiberaListasPlano(*pRegCadastro);
    return hr;
}

// ---- Selecting --------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::Filtra(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& regFiltro,
                                          const REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1& regCadastro,
                                          ULONG uiPosicao, bool& bPassa) {
    bPassa = false;
    const auto& f = regFiltro;
    const auto& p = regCadastro;
    if (f.bTrazerExcluido == 0 && p.bExcluido != 0) return S_OK;
    if (f.lFilial != 0 && f.lFilial != p.lFilial) return S_OK;
    if (f.bAtivo != 0 || f.bInativo != 0 || f.bCancelado != 0 || f.bConcluido != 0) {
        const bool bSituacao = (f.bAtivo != 0 && p.lSituacao == 1) || (f.bInativo != 0 && p.lSituacao == 2) ||
                               (f.bCancelado != 0 && p.lSituacao == 3) || (f.bConcluido != 0 && p.lSituacao == 4);
        if (!bSituacao) return S_OK;
    }
    if (!zenta::PassaIdentificacao(f.lTipoIdentificacao, f.pPonteirosIdentificacao, f.lQtdPonteirosIdentificacao,
                                   p.lEquipamento, p.lProduto))
        return S_OK;
    if (f.lPonteiroRegistro != 0 && f.lPonteiroRegistro != uiPosicao) return S_OK;
    if (!TextoCampo(f.szNrSerie).empty() && !zenta::IguaisSemCaixa(TextoCampo(f.szNrSerie), TextoCampo(p.szNrSerie)))
        return S_OK;
    if ((f.lEquipamento != 0 && f.lEquipamento != p.lEquipamento) || (f.lMarca != 0 && f.lMarca != p.lMarca) ||
        (f.lModelo != 0 && f.lModelo != p.lModelo) || (f.lTipo != 0 && f.lTipo != p.lTipo) ||
        (f.lProduto != 0 && f.lProduto != p.lProduto) || (f.lGrade1 != 0 && f.lGrade1 != p.lGrade1) ||
        (f.lGrade2 != 0 && f.lGrade2 != p.lGrade2) || (f.lGrade3 != 0 && f.lGrade3 != p.lGrade3))
        return S_OK;

    // The last two conditions read children: the stored records are
    // compared directly, which answers the same as reading the lists.
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    if (f.lCliente != 0) {
        if (!RunDentro(p.lClientes, p.lQtdClientes, db.m_ManutencaoCliente.GetQtdRegistros()))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        bool bAchou = false;
        for (ULONG i = 0; i < p.lQtdClientes && !bAchou; ++i) {
            REG_CADASTRO_MANUTENCAO_CLIENTE_V1 cliente{};
            QV_CHECK(db.m_ManutencaoCliente.Le(static_cast<ULONGLONG>(p.lClientes) + i, cliente));
            bAchou = cliente.lCliente == f.lCliente;
        }
        if (!bAchou) return S_OK;
    }
    if (f.dataInicialFrequencia != 0) {
        if (!RunDentro(p.lManutencoes, p.lQtdManutencoes, db.m_ManutencaoEquipamento.GetQtdRegistros()))
            QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);
        bool bAchou = false;
        for (ULONG i = 0; i < p.lQtdManutencoes && !bAchou; ++i) {
            REG_CADASTRO_MANUTENCAO_EQUIPAMENTO_V1 manutencao{};
            QV_CHECK(db.m_ManutencaoEquipamento.Le(static_cast<ULONGLONG>(p.lManutencoes) + i, manutencao));
            REG_CADASTRO_MANUTENCAO_FREQUENCIA_V1 frequencia{};
            QV_CHECK(db.m_ManutencaoFrequencia.Le(manutencao.lFrequencia, frequencia));
            bAchou = frequencia.dataInicial == f.dataInicialFrequencia;
        }
        if (!bAchou) return S_OK;
    }
    bPassa = true;
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaPonteiros(const _REG_FILTRO_CADASTRO_MANUTENCAO_PS& regFiltro,
                                                  _REG_LISTA_PTRS_CADASTRO_PS* pregPonteiros) {
    if (pregPonteiros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (!ListaValida(regFiltro.lQtdPonteirosIdentificacao, regFiltro.pPonteirosIdentificacao) ||
        !TextoTerminado(regFiltro.szNrSerie))
        QV_CHECK(E_INVALIDARG);
    pregPonteiros->lQtdPtrs = 0;
    pregPonteiros->pPonteiros = nullptr;

    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::vector<ULONG> posicoes;
    const ULONGLONG total = db.m_ManutencaoPreventiva.GetQtdRegistros();
    // A filter that names one plan is tested on that plan alone: every other
    // position fails it, and walking them would make the call grow with the file.
    const ULONGLONG primeira = regFiltro.lPonteiroRegistro != 0 ? regFiltro.lPonteiroRegistro : 1;
    const ULONGLONG ultima = regFiltro.lPonteiroRegistro != 0 ? std::min<ULONGLONG>(primeira, total) : total;
    for (ULONGLONG pos = primeira; pos <= ultima; ++pos) {
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
        QV_CHECK(db.m_ManutencaoPreventiva.Le(pos, mestre));
        bool bPassa = false;
        QV_CHECK(Filtra(regFiltro, mestre, static_cast<ULONG>(pos), bPassa));
        if (bPassa) posicoes.push_back(static_cast<ULONG>(pos));
    }
    if (posicoes.empty()) return S_OK;
    QV_CHECK(AlocaArray(posicoes.size(), pregPonteiros->pPonteiros));
    std::memcpy(pregPonteiros->pPonteiros, posicoes.data(), posicoes.size() * sizeof(ULONG));
    pregPonteiros->lQtdPtrs = static_cast<ULONG>(posicoes.size());
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistros(const _REG_LISTA_PTRS_CADASTRO_PS& regPonteiros,
                                                  _REG_LISTA_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pRegListaRegistros) {
    if (pRegListaRegistros == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    if (regPonteiros.lQtdPtrs == 0) return S_OK;
    if (regPonteiros.pPonteiros == nullptr) QV_CHECK(E_INVALIDARG);
    // No more plans can be asked for than the file holds: a count that does
    // not match the positions given is refused before anything is allocated.
    if (regPonteiros.lQtdPtrs > m_pDataBase->m_ManutencaoPreventiva.GetQtdRegistros())
        QV_CHECK(E_QVCR_POSICAO_LEITURA_SUPERIOR_QUANTIDADE_ARQUIVO);

    _REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS* pPlanos = nullptr;
    QV_CHECK(AlocaArray(regPonteiros.lQtdPtrs, pPlanos));
    for (ULONG i = 0; i < regPonteiros.lQtdPtrs; ++i) {
        const HRESULT hr = LePlano(regPonteiros.pPonteiros[i], pPlanos[i]);
        if (FAILED(hr)) {
            // Nothing is handed out for a failed call.
            for (ULONG j = 0; j <= i; ++j) zenta::LiberaListasPlano(pPlanos[j]);
            CoTaskMemFree(pPlanos);
            QV_CHECK(hr);
        }
    }
    pRegListaRegistros->lQtdRegistros = regPonteiros.lQtdPtrs;
    pRegListaRegistros->pRegistros = pPlanos;
    return S_OK;
}

// ---- Excluding ---------------------------------------------------------------------------

HRESULT CBaseManutencaoPreventiva::ExcluiManutencoes(ULONGLONG regDmcAssistec) {
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::lock_guard trava(db.m_travaGravacao);
    const REG_QVDMC chave(regDmcAssistec);
    // A key without a record pointer names no technical-assistance record:
    // it would match every plan entered by hand (origin 0).
    if (chave.GetPonteiro() == 0) return S_OK;
    const ULONGLONG total = db.m_ManutencaoPreventiva.GetQtdRegistros();
    for (ULONGLONG pos = 1; pos <= total; ++pos) {
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
        QV_CHECK(db.m_ManutencaoPreventiva.Le(pos, mestre));
        // Pointer and month/year identify the technical-assistance record;
        // the module is not compared.
        const REG_QVDMC origem(mestre.dmcOrigem.uiChave);
        if (origem.GetPonteiro() != chave.GetPonteiro() || origem.GetMa() != chave.GetMa())
            continue;
        mestre.bExcluido = 1;
        ULONGLONG posGravar = pos;
        QV_CHECK(db.m_ManutencaoPreventiva.Grava(posGravar, mestre));
    }
    return S_OK;
}

// ---- Trees ----------------------------------------------------------------------------

namespace {

// Hands the distinct codes out as tree items of one kind, after freeing what
// the list held.
HRESULT EntregaItensTree(const std::unordered_set<ULONG>& codigos, ULONG lTipo, _REG_LISTA_ITENS_TREE_PS& lista) {
    CoTaskMemFree(lista.pItens);
    lista.pItens = nullptr;
    lista.lQtdItens = 0;
    if (codigos.empty()) return S_OK;
    QV_CHECK(AlocaArray(codigos.size(), lista.pItens));
    ULONG i = 0;
    for (const ULONG codigo : codigos) {
        lista.pItens[i].lPonteiro = codigo;
        lista.pItens[i].lTipo = lTipo;
        ++i;
    }
    lista.lQtdItens = i;
    return S_OK;
}

}  // namespace

HRESULT CBaseManutencaoPreventiva::BuscaTreeCadastro(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                     LONG bTrazerSomenteAtivos, bool bEquipamentos) {
    if (plistaItens == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::unordered_set<ULONG> codigos;
    const ULONGLONG total = db.m_ManutencaoPreventiva.GetQtdRegistros();
    for (ULONGLONG pos = 1; pos <= total; ++pos) {
        REG_CADASTRO_MANUTENCAO_PREVENTIVA_V1 mestre{};
        QV_CHECK(db.m_ManutencaoPreventiva.Le(pos, mestre));
        const ULONG codigo = bEquipamentos ? mestre.lEquipamento : mestre.lProduto;
        if (codigo == 0 || mestre.bExcluido != 0) continue;
        if (bTrazerSomenteAtivos != 0 && mestre.lSituacao != 1) continue;
        codigos.insert(codigo);
    }
    QV_CHECK(EntregaItensTree(codigos, bEquipamentos ? 1u : 0u, *plistaItens));
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacao(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                         LONG bTrazerSomenteAtivos, bool bEquipamentos) {
    if (plistaItens == nullptr) QV_CHECK(E_POINTER);
    if (m_pDataBase == nullptr) QV_CHECK(QV_E_NAO_INICIALIZADO);
    CQVDataBase_GE_ManutencaoPreventiva& db = *m_pDataBase;
    std::unordered_set<ULONG> codigos;
    for (const ULONGLONG chave : db.m_MovManutPrev.GetChaves()) {
        const ULONGLONG total = db.m_MovManutPrev.GetQtdRegistros(chave);
        for (ULONGLONG pos = 1; pos <= total; ++pos) {
            REG_MOVIMENTACAO_MANUT_PREV_V1 ordem{};
            QV_CHECK(db.m_MovManutPrev.Le(chave, pos, ordem));
            const ULONG codigo = bEquipamentos ? ordem.lEquipamento : ordem.lProduto;
            // Cancelled orders never count; with "only active", only open ones.
            if (codigo == 0 || ordem.lSituacao == 2) continue;
            if (bTrazerSomenteAtivos != 0 && ordem.lSituacao != 0) continue;
            codigos.insert(codigo);
        }
    }
    QV_CHECK(EntregaItensTree(codigos, bEquipamentos ? 1u : 0u, *plistaItens));
    return S_OK;
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                 LONG bTrazerSomenteAtivos) {
    return BuscaTreeCadastro(plistaItens, bTrazerSomenteAtivos, true);
}

HRESULT CBaseManutencaoPreventiva::BuscaRegistroTreeProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                             LONG bTrazerSomenteAtivos) {
    return BuscaTreeCadastro(plistaItens, bTrazerSomenteAtivos, false);
}

HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoEquipamentos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                     LONG bTrazerSomenteAtivos) {
    return BuscaTreeMovimentacao(plistaItens, bTrazerSomenteAtivos, true);
}

HRESULT CBaseManutencaoPreventiva::BuscaTreeMovimentacaoProdutos(_REG_LISTA_ITENS_TREE_PS* plistaItens,
                                                                 LONG bTrazerSomenteAtivos) {
    return BuscaTreeMovimentacao(plistaItens, bTrazerSomenteAtivos, false);
}

HRESULT CBaseManutencaoPreventiva::GravaMedidor(const _REG_CADASTRO_MEDIDORES_PS& m, ULONG& lMedidor) {
    REG_CADASTRO_MEDIDORES_V1 medidor;
    std::memset(static_cast<void*>(&medidor), 0, sizeof medidor);
    medidor.vQuantidadeInicial.int64 = m.vQuantidadeInicial.int64;
    medidor.vQuantidadeAtual.int64 = m.vQuantidadeAtual.int64;
    medidor.lPonteiroUnMedida = m.lPonteiroUnMedida;
    medidor.lPonteiroCadastro = m.lPonteiroCadastro;
    medidor.lQuantidadeMedidoresSubstituidos = m.lQuantidadeMedidoresSubstituidos;
    medidor.cTipoUnidadeMedida = m.cTipoUnidadeMedida;
    ULONGLONG posMedidor = 0;
    QV_CHECK(m_pDataBase->m_Medidores.Grava(posMedidor, medidor));
    lMedidor = static_cast<ULONG>(posMedidor);
    return S_OK;
}

}  // namespace zenta
