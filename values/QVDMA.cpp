#include "values/QVDMA.h"

#include <cstdio>
#include <cstring>

#include "values/Calendario.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

namespace zenta {

namespace cal = zenta::calendario;

namespace {

// Builds from a full year (no widening); invalid parts give no date.
ULONG Monta(int dia, int mes, int ano) {
    if (dia <= 0 || mes < 1 || mes > 12 || !cal::AnoValido(ano)) return 0;
    const int ultimo = cal::DiasNoMes(mes, ano);
    if (dia > ultimo) dia = ultimo;
    return static_cast<ULONG>(cal::NumeroDoDia(dia, mes, ano));
}

// Inverse of NumeroDoDia: estimate the year from the mean Gregorian year,
// correct the estimate against the serials of 1 January, then find the month.
void Separa(ULONG numero, int& dia, int& mes, int& ano) {
    if (numero == 0) {
        dia = mes = ano = 0;
        return;
    }
    const long long n = static_cast<long long>(numero);
    ano = 1847 + static_cast<int>((n - 1) * 400 / 146097);
    while (cal::NumeroDoDia(1, 1, ano + 1) <= n) ++ano;
    while (cal::NumeroDoDia(1, 1, ano) > n) --ano;
    mes = 12;
    while (mes > 1 && cal::NumeroDoDia(1, mes, ano) > n) --mes;
    dia = static_cast<int>(n - cal::NumeroDoDia(1, mes, ano) + 1);
}

bool NumeroGuardavel(LONGLONG n) { return n >= 1 && n <= cal::kUltimoDia; }

// Short dates count from 1850-01-01 and keep a 29 February 1900 that the
// calendar does not have: from 1 March 1900 on they run one day ahead.
constexpr long long kCurtaDeslocAntes = 732;
constexpr long long kCurtaDeslocDepois = 731;
constexpr long long kPrimeiroMarco1900 = 19054;
constexpr long long kCurta29Fevereiro1900 = 18322;

// ---- Text ------------------------------------------------------------------

// A year printed with two digits unless the four-digit option asks for the
// full year of dates outside the two-digit window 1984..2083.
int LarguraAnoCurto(int ano, bool anoQuatroDigitos) {
    return anoQuatroDigitos && (ano < 1984 || ano > 2083) ? 4 : 2;
}

int ValorAno(int ano, int largura) { return largura == 2 ? ano % 100 : ano; }

// Buffer size the style asks for at least, beyond room for the text itself.
size_t TamanhoMinimo(int estilo, bool comSeparador) {
    switch (estilo) {
        case REG_QVDMA::ESTILO_DMA:
        case REG_QVDMA::ESTILO_MDA:
        case REG_QVDMA::ESTILO_AMD:
            return comSeparador ? 9 : 7;
        case REG_QVDMA::ESTILO_DMAAAA:
        case REG_QVDMA::ESTILO_MDAAAA:
        case REG_QVDMA::ESTILO_AAAAMD:
            return comSeparador ? 11 : 9;
        case REG_QVDMA::ESTILO_EXTENSO:
            return 24;
        case REG_QVDMA::ESTILO_DIA:
            return comSeparador ? 4 : 3;
        default:
            return 0;
    }
}

// Three numbers with their widths, joined by the separator.
int Tres(char* buf, size_t tam, int a, int la, int b, int lb, int c, int lc, const char* sep) {
    return std::snprintf(buf, tam, "%0*d%s%0*d%s%0*d", la, a, sep, lb, b, sep, lc, c);
}

int Dois(char* buf, size_t tam, int a, int la, int b, int lb, const char* sep) {
    return std::snprintf(buf, tam, "%0*d%s%0*d", la, a, sep, lb, b);
}

// Writes the text of a validated, widened date into `buf` (large enough for
// any style); returns its length.
int TextoData(char* buf, size_t tam, int dia, int mes, int ano, int estilo, const char* sep, bool anoQuatro) {
    const int lCurto = LarguraAnoCurto(ano, anoQuatro);
    const int aCurto = ValorAno(ano, lCurto);
    switch (estilo) {
        case REG_QVDMA::ESTILO_DMA: return Tres(buf, tam, dia, 2, mes, 2, aCurto, lCurto, sep);
        case REG_QVDMA::ESTILO_DMAAAA: return Tres(buf, tam, dia, 2, mes, 2, ano, 4, sep);
        case REG_QVDMA::ESTILO_MDA: return Tres(buf, tam, mes, 2, dia, 2, aCurto, lCurto, sep);
        case REG_QVDMA::ESTILO_MDAAAA: return Tres(buf, tam, mes, 2, dia, 2, ano, 4, sep);
        case REG_QVDMA::ESTILO_AMD: return Tres(buf, tam, aCurto, lCurto, mes, 2, dia, 2, sep);
        case REG_QVDMA::ESTILO_AAAAMD: return Tres(buf, tam, ano, 4, mes, 2, dia, 2, sep);
        case REG_QVDMA::ESTILO_EXTENSO:
            return std::snprintf(buf, tam, "%02d de %s de %04d", dia, REG_QVDMA::NomeMes(mes), ano);
        case REG_QVDMA::ESTILO_DIA: return std::snprintf(buf, tam, "%02d", dia);
        case REG_QVDMA::ESTILO_MA: return Dois(buf, tam, mes, 2, ano % 100, 2, sep);
        case REG_QVDMA::ESTILO_AAAAM: return Dois(buf, tam, ano, 4, mes, 2, sep);
        case REG_QVDMA::ESTILO_AM: return Dois(buf, tam, ano % 100, 2, mes, 2, sep);
        case REG_QVDMA::ESTILO_MES_EXTENSO: return std::snprintf(buf, tam, "%s de %04d", REG_QVDMA::NomeMes(mes), ano);
        default: return Dois(buf, tam, mes, 2, ano, 4, sep);  // ESTILO_MAAAA and any other number
    }
}

bool SaidaVazia(char* psz, size_t tamanho) {
    if (psz != nullptr && tamanho > 0) psz[0] = '\0';
    return false;
}

}  // namespace

// ---- Building and splitting --------------------------------------------------

REG_QVDMA& REG_QVDMA::SetDMA(int dia, int mes, int ano) {
    lData = Monta(dia, mes, cal::ExpandeAno(ano));
    return *this;
}

void REG_QVDMA::GetDMA(int& dia, int& mes, int& ano) const { Separa(lData, dia, mes, ano); }

int REG_QVDMA::GetDia() const {
    int d, m, a;
    GetDMA(d, m, a);
    return d;
}

int REG_QVDMA::GetMes() const {
    int d, m, a;
    GetDMA(d, m, a);
    return m;
}

int REG_QVDMA::GetAno() const {
    int d, m, a;
    GetDMA(d, m, a);
    return a;
}

// ---- Today and derived dates -------------------------------------------------

REG_QVDMA REG_QVDMA::Hoje() {
    const auto agora = zenta::RelogioSistema::Agora();
    return REG_QVDMA(agora.dia, agora.mes, agora.ano);
}

REG_QVDMA REG_QVDMA::PrimeiroDiaMes() const {
    int d, m, a;
    GetDMA(d, m, a);
    return REG_QVDMA(Monta(1, m, a));
}

REG_QVDMA REG_QVDMA::UltimoDiaMes() const {
    int d, m, a;
    GetDMA(d, m, a);
    return REG_QVDMA(Monta(31, m, a));
}

REG_QVDMA REG_QVDMA::PrimeiroDiaAnoAtual() { return REG_QVDMA(Monta(1, 1, Hoje().GetAno())); }

REG_QVDMA REG_QVDMA::UltimoDiaAnoAtual() { return REG_QVDMA(Monta(31, 12, Hoje().GetAno())); }

int REG_QVDMA::GetDiaSemana() const { return lData == 0 ? 0 : static_cast<int>((lData + 4) % 7 + 1); }

int REG_QVDMA::GetDiaAno() const {
    if (lData == 0) return 0;
    const ULONG primeiro = Monta(1, 1, GetAno());
    return static_cast<int>(lData - primeiro + 1);
}

int REG_QVDMA::GetSemanaAno() const {
    if (lData == 0) return 0;
    const REG_QVDMA primeiro(Monta(1, 1, GetAno()));
    return (primeiro.GetDiaSemana() + static_cast<int>(lData - primeiro.lData) + 6) / 7;
}

// ---- Other encodings ---------------------------------------------------------

ULONG REG_QVDMA::GetAAAAMMDD() const {
    int d, m, a;
    GetDMA(d, m, a);
    return static_cast<ULONG>(a) * 10000u + static_cast<ULONG>(m) * 100u + static_cast<ULONG>(d);
}

REG_QVDMA& REG_QVDMA::SetAAAAMMDD(ULONG aaaammdd) {
    return SetDMA(static_cast<int>(aaaammdd % 100u), static_cast<int>(aaaammdd / 100u % 100u),
                  static_cast<int>(aaaammdd / 10000u));
}

USHORT REG_QVDMA::GetDataCurta() const {
    if (lData == 0) return 0;
    const long long n = static_cast<long long>(lData);
    const long long curta = n - (n < kPrimeiroMarco1900 ? kCurtaDeslocAntes : kCurtaDeslocDepois);
    // Dates before 1850 or after 2029-06-04 have no 16-bit form.
    if (curta < 1 || curta > 0xFFFF) return 0;
    return static_cast<USHORT>(curta);
}

REG_QVDMA& REG_QVDMA::SetDataCurta(USHORT curta) {
    if (curta == 0) lData = 0;
    else lData = static_cast<ULONG>(curta + (curta < kCurta29Fevereiro1900 ? kCurtaDeslocAntes : kCurtaDeslocDepois));
    return *this;
}

USHORT REG_QVDMA::GetMa() const {
    int d, m, a;
    GetDMA(d, m, a);
    return QVMAFromMesAno(m, a);
}

REG_QVDMA& REG_QVDMA::SetMa(USHORT ma, int dia) {
    int mes, ano;
    QVMAToMesAno(ma, mes, ano);
    lData = Monta(dia, mes, ano);
    return *this;
}

// ---- Arithmetic ----------------------------------------------------------------

REG_QVDMA& REG_QVDMA::SomaDias(LONG dias) {
    if (lData == 0) return *this;
    const LONGLONG n = static_cast<LONGLONG>(lData) + dias;
    lData = NumeroGuardavel(n) ? static_cast<ULONG>(n) : 0;
    return *this;
}

REG_QVDMA& REG_QVDMA::SomaMeses(LONG meses) {
    if (lData == 0) return *this;
    const LONGLONG ma = static_cast<LONGLONG>(GetMa()) + meses;
    if (ma < 1 || ma > QVMA_MAXIMO) {
        lData = 0;
        return *this;
    }
    return SetMa(static_cast<USHORT>(ma), GetDia());
}

REG_QVDMA& REG_QVDMA::SomaAnos(LONG anos) {
    if (lData == 0) return *this;
    int d, m, a;
    GetDMA(d, m, a);
    const LONGLONG novo = static_cast<LONGLONG>(a) + anos;
    // Built without widening: a result below 100 is out of range, not a two-digit year.
    lData = novo >= cal::kAnoMinimo && novo <= cal::kAnoMaximo ? Monta(d, m, static_cast<int>(novo)) : 0;
    return *this;
}

// ---- Text ------------------------------------------------------------------------

bool REG_QVDMA::FormataDMA(int dia, int mes, int ano, char* psz, size_t tamanho, int estilo, char separador,
                           bool anoQuatroDigitos) {
    if (psz == nullptr || tamanho == 0) return false;
    if (dia < 0 || dia > 31 || mes < 0 || mes > 12 || ano < 0 || (ano > 100 && ano < cal::kAnoMinimo) ||
        ano > cal::kAnoMaximo)
        return SaidaVazia(psz, tamanho);
    ano = cal::ExpandeAno(ano);

    const char sep[2] = {separador, '\0'};
    char texto[64];
    const int n = TextoData(texto, sizeof texto, dia, mes, ano, estilo, sep, anoQuatroDigitos);
    if (n < 0) return SaidaVazia(psz, tamanho);
    const size_t comprimento = static_cast<size_t>(n);
    if (tamanho < comprimento + 1 || tamanho < TamanhoMinimo(estilo, separador != '\0'))
        return SaidaVazia(psz, tamanho);
    std::memcpy(psz, texto, comprimento + 1);
    return true;
}

bool REG_QVDMA::Formata(char* psz, size_t tamanho, int estilo, char separador, bool anoQuatroDigitos) const {
    // No date has no text (its parts 0/0/0 would otherwise widen to "00/00/2000").
    if (lData == 0) return SaidaVazia(psz, tamanho);
    int d, m, a;
    GetDMA(d, m, a);
    return FormataDMA(d, m, a, psz, tamanho, estilo, separador, anoQuatroDigitos);
}

std::string REG_QVDMA::Formata(int estilo, char separador, bool anoQuatroDigitos) const {
    char texto[64];
    return Formata(texto, sizeof texto, estilo, separador, anoQuatroDigitos) ? std::string(texto) : std::string();
}

const char* REG_QVDMA::NomeMes(int mes) {
    static const char* const kNomes[12] = {"Janeiro", "Fevereiro", "Mar\xE7o",  "Abril",   "Maio",     "Junho",
                                           "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};
    return mes >= 1 && mes <= 12 ? kNomes[mes - 1] : "";
}

const char* REG_QVDMA::NomeDiaSemana(int diaSemana) {
    static const char* const kNomes[7] = {"Domingo",      "Segunda-feira", "Ter\xE7" "a-feira", "Quarta-feira",
                                          "Quinta-feira", "Sexta-feira",   "S\xE1" "bado"};
    return diaSemana >= 1 && diaSemana <= 7 ? kNomes[diaSemana - 1] : "";
}

}  // namespace zenta
