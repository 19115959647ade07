// One numbered field of a report line: its code, the number of characters it
// holds, its type, a caption for people and its text (UTF-8). Codes above
// 1000000 are fields of other modules (integrated reports).
#pragma once

#include <string>
#include <string_view>

#include <zenta/WinTypes.h>

namespace zenta {

// Field types of the report generator.
inline constexpr LONG QV_CAMPO_RELATORIO_TEXTO = 1;
inline constexpr LONG QV_CAMPO_RELATORIO_NUMERO = 7;
inline constexpr LONG QV_CAMPO_RELATORIO_DATA = 8;
// Codes above this one name fields of other modules.
inline constexpr LONG QV_CAMPO_RELATORIO_INTEGRADO = 1000000;

class CQVCampoRelatorio {
public:
    CQVCampoRelatorio(LONG lCodigo, LONG lTamanho, LONG lTipo, std::string_view sRotulo = {})
        : m_lCodigo(lCodigo), m_lTamanho(lTamanho), m_lTipo(lTipo), m_sRotulo(sRotulo) {}

    LONG GetCodigo() const { return m_lCodigo; }
    LONG GetTamanho() const { return m_lTamanho; }
    LONG GetTipo() const { return m_lTipo; }
    const std::string& GetRotulo() const { return m_sRotulo; }
    void AlteraTipoCampo(LONG lTipo) { m_lTipo = lTipo; }

    const std::string& GetValor() const { return m_sValor; }
    void SetValor(std::string_view valor) { m_sValor = valor; }
    void Limpa() { m_sValor.clear(); }

    bool GetCampoEscolhidoNoModeloRelatorio() const { return m_bEscolhido; }
    void SetCampoEscolhidoNoModeloRelatorio(BOOL bEscolhido) { m_bEscolhido = bEscolhido != FALSE; }

private:
    LONG m_lCodigo;
    LONG m_lTamanho;
    LONG m_lTipo;
    std::string m_sRotulo;
    std::string m_sValor;
    bool m_bEscolhido = false;
};

}  // namespace zenta
