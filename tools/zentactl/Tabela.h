// Output for people: aligned tables, key/value blocks and the value formats
// (dates DD/MM/YYYY, month MM/YYYY, time HH:MM, currency with its decimals).
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <zenta/WinTypes.h>

namespace zenta::ctl {

class Tabela {
public:
    // A column whose name starts with '>' is right-aligned (numbers).
    explicit Tabela(std::vector<std::string> colunas);
    void Linha(std::vector<std::string> celulas);
    std::size_t Linhas() const { return m_linhas.size(); }
    // Header, a rule and the rows; "(none)" without rows.
    void Imprime(std::ostream& saida) const;

private:
    std::vector<std::string> m_colunas;
    std::vector<bool> m_direita;
    std::vector<std::vector<std::string>> m_linhas;
};

// "Name: value" lines with the names aligned; empty values are left out.
void ImprimeCampos(std::ostream& saida, const std::vector<std::pair<std::string, std::string>>& campos);

// Width of a UTF-8 text in characters.
std::size_t LarguraUtf8(const std::string& texto);

std::string FormataData(ULONG dia);          // "" for no date
std::string FormataMesAno(USHORT ma);        // "" for no month
std::string FormataHora(LONGLONG segundos);  // "" for 0
// Currency with `casas` decimals (0..4, rounded half away from zero) and a
// decimal comma: 1234.5 with 2 -> "1234,50".
std::string FormataMoeda(CY valor, unsigned casas);
std::string SimNao(long long valor);

}  // namespace zenta::ctl
