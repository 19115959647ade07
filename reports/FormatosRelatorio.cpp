#include "reports/FormatosRelatorio.h"

#include <cstdio>

#include <zenta/OleAuto.h>

#include "values/QVDMA.h"
#include "values/QVDMC.h"
#include "values/QVMesAno.h"

namespace zenta {

CY CQVValorHoras::ConverteCentesimalParaHoras(CY valor) {
    const bool negativo = valor.int64 < 0;
    // The magnitude as unsigned: the most negative value has no positive twin.
    const unsigned long long bruto =
        negativo ? 0ULL - static_cast<unsigned long long>(valor.int64) : static_cast<unsigned long long>(valor.int64);
    unsigned long long horas = bruto / 10000u;
    unsigned long long minutos = (bruto % 10000u * 60u + 5000u) / 10000u;
    if (minutos == 60) {
        ++horas;
        minutos = 0;
    }
    CY resultado{};
    unsigned long long magnitude = horas * 10000u + minutos * 100u;
    constexpr unsigned long long kMaximo = 0x7FFFFFFFFFFFFFFFULL;
    if (magnitude > kMaximo) magnitude = kMaximo;
    resultado.int64 = negativo ? -static_cast<LONGLONG>(magnitude) : static_cast<LONGLONG>(magnitude);
    return resultado;
}

std::string TextoRelatorio(const unsigned char* bytes, std::size_t tamanho) {
    if (bytes == nullptr) return {};
    const void* fim = std::memchr(bytes, 0, tamanho);
    const std::size_t n = fim != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(fim) - bytes) : tamanho;
    return Cp1252ParaUtf8(std::string_view(reinterpret_cast<const char*>(bytes), n));
}

std::string BstrRelatorio(BSTR texto) {
    if (texto == nullptr) return {};
    const int unidades = static_cast<int>(SysStringLen(texto));
    if (unidades == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, texto, unidades, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string saida(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, texto, unidades, saida.data(), bytes, nullptr, nullptr);
    return saida;
}

std::string DataRelatorio(ULONG data) {
    if (data == 0) return {};
    return REG_QVDMA(data).Formata(REG_QVDMA::ESTILO_DMAAAA, '/');
}

std::string HoraRelatorio(LONG segundos) {
    if (segundos < 0 || segundos >= 86400) return {};
    char texto[32];
    std::snprintf(texto, sizeof texto, "%02d:%02d", static_cast<int>(segundos / 3600), static_cast<int>(segundos / 60 % 60));
    return texto;
}

std::string NumeroRelatorio(ULONG numero) { return std::to_string(numero); }

std::string ChaveOrdemRelatorio(ULONGLONG dmcChave) {
    const REG_QVDMC chave(dmcChave);
    int mes = 0, ano = 0;
    if (chave.GetMa() != 0) QVMAToMesAno(chave.GetMa(), mes, ano);
    char texto[40];
    if (ano != 0)
        std::snprintf(texto, sizeof texto, "%02d/%04d-%06lu", mes, ano, static_cast<unsigned long>(chave.GetPonteiro()));
    else
        std::snprintf(texto, sizeof texto, "%06lu", static_cast<unsigned long>(chave.GetPonteiro()));
    return texto;
}

std::string DuracaoRelatorio(CY valor) {
    std::string texto = QuantidadeAutomatica(CQVValorHoras::ConverteCentesimalParaHoras(valor));
    for (char& c : texto)
        if (c == ',') c = ':';
    return texto;
}

}  // namespace zenta
