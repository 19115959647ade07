#include "tools/zentactl/Opcoes.h"

#include <cstring>

#include "tools/zentactl/Erros.h"
#include "values/Calendario.h"
#include "values/QVMesAno.h"

namespace zenta::ctl {

void AdicionaOpcoesIdentificacao(CLI::App& comando, FiltroIdentificacao& f) {
    comando.add_option("--equipamento", f.equipamento, "Equipment code");
    comando.add_option("--marca", f.marca, "Brand code");
    comando.add_option("--modelo", f.modelo, "Model code");
    comando.add_option("--tipo", f.tipo, "Equipment type code");
    comando.add_option("--produto", f.produto, "Product code");
    comando.add_option("--grade1", f.grade1, "Grade item 1");
    comando.add_option("--grade2", f.grade2, "Grade item 2");
    comando.add_option("--grade3", f.grade3, "Grade item 3");
    comando.add_option("--serie", f.serie, "Serial number (any case)");
    comando.add_option("--codigos", f.codigos, "Equipment or product codes, e.g. 1,2,3")->delimiter(',');
    comando.add_option("--tipo-identificacao", f.tipoIdentificacao,
                       "0 products, 1 equipments, 2 both (default)")
        ->check(CLI::Range(0u, 2u));
}

[[noreturn]] void ChaveInvalida(const char* operacao, const std::string& texto, const char* porque) {
    throw FalhaOperacao(operacao, E_INVALIDARG, "\"" + texto + "\" is not " + porque);
}

bool LeMesAnoPosicao(const std::string& s, USHORT& ma, ULONG& posicao) {
    const auto barra = s.find('/');
    const auto traco = s.find('-');
    if (barra == std::string::npos || traco == std::string::npos || barra == 0 || barra > 2 || traco != barra + 5 ||
        traco + 1 >= s.size() || s.size() - traco - 1 > 10)
        return false;
    auto numero = [&](std::size_t de, std::size_t ate, unsigned long long& v) {
        v = 0;
        for (std::size_t i = de; i < ate; ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            v = v * 10 + static_cast<unsigned>(s[i] - '0');
        }
        return true;
    };
    unsigned long long mes = 0, ano = 0, ptr = 0;
    if (!numero(0, barra, mes) || !numero(barra + 1, traco, ano) || !numero(traco + 1, s.size(), ptr)) return false;
    if (mes < 1 || mes > 12 || !calendario::AnoValido(static_cast<int>(ano)) || ptr == 0 || ptr > 0xFFFFFFFFull)
        return false;
    ma = QVMAFromMesAno(static_cast<int>(mes), static_cast<int>(ano));
    posicao = static_cast<ULONG>(ptr);
    return ma != 0;
}

REG_QVDMC LeChaveOrdem(const std::string& s, const char* operacao) {
    USHORT ma = 0;
    ULONG posicao = 0;
    if (LeMesAnoPosicao(s, ma, posicao)) return REG_QVDMC().SetDMC(posicao, MOVIMENTO_GERENCIADOR_MANUT_PREV, ma);
    if (s.empty() || s.size() > 20 || s.find_first_not_of("0123456789") != std::string::npos)
        ChaveInvalida(operacao, s, "an order key (MM/YYYY-N or its 64-bit number)");
    ULONGLONG v = 0;
    for (const char c : s) {
        const auto d = static_cast<ULONGLONG>(c - '0');
        if (v > (~0ULL - d) / 10) ChaveInvalida(operacao, s, "a 64-bit number");
        v = v * 10 + d;
    }
    const REG_QVDMC chave(v);
    if (chave.GetTipoMovimento() != MOVIMENTO_GERENCIADOR_MANUT_PREV || chave.GetPonteiro() == 0 ||
        chave.GetTipoData() != REG_QVDMC::TIPO_DATA_MA || chave.GetMa() == 0)
        ChaveInvalida(operacao, s, "the key of a maintenance order (kind 84, a month and a position)");
    return chave;
}

void AdicionaOpcoesFiltroPlanos(CLI::App& comando, FiltroPlanos& o) {
    comando.add_option("--filial", o.filial, "Branch");
    comando.add_option("--cliente", o.cliente, "A client of the plan");
    comando.add_flag("--ativo", o.ativo, "Active plans (status flags add up; none: every status)");
    comando.add_flag("--inativo", o.inativo, "Inactive plans");
    comando.add_flag("--cancelado", o.cancelado, "Cancelled plans");
    comando.add_flag("--concluido", o.concluido, "Concluded plans");
    comando.add_flag("--excluidos", o.excluidos, "Also plans marked excluded");
    AdicionaOpcoesIdentificacao(comando, o.id);
    comando.add_option("--posicao", o.posicao, "One plan position");
    comando.add_option("--data-frequencia", o.dataFrequencia, "A maintenance whose frequency starts that day (YYYY-MM-DD)");
}

_REG_FILTRO_CADASTRO_MANUTENCAO_PS MontaFiltroPlanos(FiltroPlanos& o) {
    _REG_FILTRO_CADASTRO_MANUTENCAO_PS f{};
    f.lFilial = o.filial;
    f.lCliente = o.cliente;
    f.bAtivo = o.ativo;
    f.bInativo = o.inativo;
    f.bCancelado = o.cancelado;
    f.bConcluido = o.concluido;
    f.bTrazerExcluido = o.excluidos;
    f.lPonteiroRegistro = o.posicao;
    f.lEquipamento = o.id.equipamento;
    f.lMarca = o.id.marca;
    f.lModelo = o.id.modelo;
    f.lTipo = o.id.tipo;
    f.lProduto = o.id.produto;
    f.lGrade1 = o.id.grade1;
    f.lGrade2 = o.id.grade2;
    f.lGrade3 = o.id.grade3;
    CopiaSerie(f.szNrSerie, sizeof f.szNrSerie, o.id.serie);
    f.lTipoIdentificacao = o.id.tipoIdentificacao;
    f.lQtdPonteirosIdentificacao = static_cast<ULONG>(o.id.codigos.size());
    f.pPonteirosIdentificacao = o.id.codigos.empty() ? nullptr : o.id.codigos.data();
    f.dataInicialFrequencia = LeData(o.dataFrequencia, "--data-frequencia");
    return f;
}

void AdicionaOpcoesFiltroOrdens(CLI::App& comando, FiltroOrdens& o) {
    comando.add_option("--cliente", o.cliente, "Client");
    AdicionaOpcoesIdentificacao(comando, o.id);
    comando.add_flag("--ativo", o.ativo, "Open orders (status flags add up; none: every status)");
    comando.add_flag("--concluido", o.concluido, "Concluded orders");
    comando.add_flag("--cancelado", o.cancelado, "Cancelled orders");
    comando.add_option("--de", o.de, "Planned after this day (YYYY-MM-DD, excluded)");
    comando.add_option("--ate", o.ate, "Planned before this day (YYYY-MM-DD, excluded)");
    comando.add_option("--plano", o.plano, "Position of the plan");
    comando.add_option("--os", o.os, "A linked service order (MM/YYYY-N)");
    comando.add_option("--ordem", o.ordem, "One order (MM/YYYY-N or the 64-bit key)");
}

_REG_MOVIMENTACAO_FILTRO_PS MontaFiltroOrdens(FiltroOrdens& o, const char* operacao) {
    _REG_MOVIMENTACAO_FILTRO_PS f{};
    f.lCliente = o.cliente;
    f.lEquipamento = o.id.equipamento;
    f.lMarca = o.id.marca;
    f.lModelo = o.id.modelo;
    f.lTipo = o.id.tipo;
    f.lProduto = o.id.produto;
    f.lGrade1 = o.id.grade1;
    f.lGrade2 = o.id.grade2;
    f.lGrade3 = o.id.grade3;
    f.bAtivo = o.ativo;
    f.bConcluido = o.concluido;
    f.bCancelado = o.cancelado;
    f.dataInicialPeriodo = LeData(o.de, "--de");
    f.dataFinalPeriodo = LeData(o.ate, "--ate");
    f.lTipoIdentificacao = o.id.tipoIdentificacao;
    f.lQtdPonteirosIdentificacao = static_cast<ULONG>(o.id.codigos.size());
    f.pPonteirosIdentificacao = o.id.codigos.empty() ? nullptr : o.id.codigos.data();
    f.lPonteiroCadastro = o.plano;
    if (!o.os.empty()) {
        USHORT ma = 0;
        ULONG ptr = 0;
        if (!LeMesAnoPosicao(o.os, ma, ptr)) ChaveInvalida(operacao, o.os, "a service order (MM/YYYY-N)");
        f.lPtrOS = ptr;
        f.maOS = ma;
    }
    if (!o.ordem.empty()) {
        const ULONGLONG chave = LeChaveOrdem(o.ordem, operacao).Get64();
        static_assert(sizeof f.dmcMovimentacao == sizeof chave);
        std::memcpy(&f.dmcMovimentacao, &chave, sizeof chave);
    }
    CopiaSerie(f.szNrSerie, sizeof f.szNrSerie, o.id.serie);
    return f;
}

}  // namespace zenta::ctl
