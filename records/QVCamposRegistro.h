// Small helpers on the fields of interface records: fixed-size text fields
// (Windows-1252, zero-terminated inside the field), comparisons without
// regard to case, and arrays handed to clients with the task allocator.
#pragma once

#include <cstddef>
#include <cstring>
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>
#include <string_view>

#include <zenta/OleAuto.h>
#include <zenta/ObjBase.h>
#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/WinTypes.h>

#include "values/QVMesAno.h"

namespace zenta {

// The text of a field: the bytes up to its first zero, or the whole field
// when it has none.
template <std::size_t N>
std::string_view TextoCampo(const char (&campo)[N]) {
    const void* fim = std::memchr(campo, 0, N);
    return {campo, fim != nullptr ? static_cast<std::size_t>(static_cast<const char*>(fim) - campo) : N};
}

// Whether the field holds its terminating zero.
template <std::size_t N>
bool TextoTerminado(const char (&campo)[N]) {
    return std::memchr(campo, 0, N) != nullptr;
}

// Copies a text into a field: at most N - 1 bytes, the rest of the field zero.
template <std::size_t N>
void CopiaTexto(char (&destino)[N], std::string_view origem) {
    const std::size_t tamanho = origem.size() < N - 1 ? origem.size() : N - 1;
    std::memset(destino, 0, N);
    std::memcpy(destino, origem.data(), tamanho);
}
template <std::size_t N, std::size_t M>
void CopiaTexto(char (&destino)[N], const char (&origem)[M]) {
    CopiaTexto(destino, TextoCampo(origem));
}

// A Windows-1252 character in upper case: ASCII letters, the accented
// letters of 0xE0..0xFE (not 0xF7) and the four letters of 0x9A..0xFF that
// have capitals in the code page.
constexpr unsigned char MaiusculaCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // s caron
        case 0x9C: return 0x8C;  // oe
        case 0x9E: return 0x8E;  // z caron
        case 0xFF: return 0x9F;  // y diaeresis
        default: return c;
    }
}

// Two Windows-1252 texts equal without regard to case.
inline bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (MaiusculaCp1252(static_cast<unsigned char>(a[i])) != MaiusculaCp1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Allocates `quantidade` zeroed elements with the task allocator for an
// [out] list; the caller owns them. None (null) for 0. E_OUTOFMEMORY when
// the size overflows or memory runs out.
template <class T>
HRESULT AlocaArray(std::size_t quantidade, T*& pArray) {
    pArray = nullptr;
    if (quantidade == 0) return S_OK;
    if (quantidade > std::numeric_limits<std::size_t>::max() / sizeof(T)) return E_OUTOFMEMORY;
    void* memoria = CoTaskMemAlloc(quantidade * sizeof(T));
    if (memoria == nullptr) return E_OUTOFMEMORY;
    std::memset(memoria, 0, quantidade * sizeof(T));
    pArray = static_cast<T*>(memoria);
    return S_OK;
}

// A list's count and array agree as far as the callee can see: no count
// without an array.
template <class T>
bool ListaValida(ULONG quantidade, const T* pArray) {
    return quantidade == 0 || pArray != nullptr;
}

// Whether a run of `quantidade` records from `primeiro` lies inside a file
// of `total` records. An empty run always does.
constexpr bool RunDentro(ULONGLONG primeiro, ULONGLONG quantidade, ULONGLONG total) {
    return quantidade == 0 || (primeiro != 0 && primeiro <= total && quantidade <= total - primeiro + 1);
}

// The identification-kind condition shared by the plan, reading and order
// filters: kind 1 keeps equipment records whose equipment code is among
// `codigos` (when any are given), kind 0 product records whose product code
// is; kind 2 (both) and kinds that are not defined set no condition.
inline bool PassaIdentificacao(ULONG lTipoIdentificacao, const ULONG* pCodigos, ULONG lQtdCodigos,
                               ULONG lEquipamento, ULONG lProduto) {
    if (lTipoIdentificacao != 0 && lTipoIdentificacao != 1) return true;
    const bool bEquipamentos = lTipoIdentificacao == 1;
    if (lQtdCodigos != 0) {
        const ULONG codigo = bEquipamentos ? lEquipamento : lProduto;
        bool bAchou = false;
        for (ULONG i = 0; i < lQtdCodigos && !bAchou; ++i) bAchou = pCodigos[i] == codigo;
        if (!bAchou) return false;
    }
    return bEquipamentos ? lProduto == 0 : lEquipamento == 0;
}

// The members of a per-month file family in calendar order, each as (its
// month/year code, its key): a key (month * 10,000 + year) does not sort
// chronologically, its code does. Keys that name no month are left out.
inline std::vector<std::pair<USHORT, ULONGLONG>> MesesEmOrdem(const std::vector<ULONGLONG>& chaves) {
    std::vector<std::pair<USHORT, ULONGLONG>> meses;
    for (const ULONGLONG uiChave : chaves) {
        const USHORT ma = uiChave <= std::numeric_limits<ULONG>::max() ? QVChaveToMA(static_cast<ULONG>(uiChave)) : 0;
        if (ma != 0) meses.emplace_back(ma, uiChave);
    }
    std::sort(meses.begin(), meses.end());
    return meses;
}

// Days in one unit of a frequency's time interval (1 days, 2 weeks,
// 3 months of 30 days, 4 years of 365 days); 0 for an unknown unit.
constexpr LONG DiasPorUnidade(ULONG lTipoFrequenciaTempo) {
    switch (lTipoFrequenciaTempo) {
        case 1: return 1;
        case 2: return 7;
        case 3: return 30;
        case 4: return 365;
        default: return 0;
    }
}

// The "days to run" counter (`lQuantidadeDiasFalta`) is a signed number in
// an unsigned field: overdue maintenances hold negative counts. Its
// arithmetic is done in 64 bits and held within the signed 32-bit range.
inline LONG DiasLimitados(LONGLONG dias) {
    return static_cast<LONG>(std::clamp<LONGLONG>(dias, std::numeric_limits<LONG>::min(),
                                                  std::numeric_limits<LONG>::max()));
}

// The days a maintenance is armed with: `lFrequenciaTempo` units less
// `lFrequenciaLimiteTempo` days (both unsigned), as the counter holds them.
inline ULONG DiasDoIntervalo(ULONG lFrequenciaTempo, ULONG lTipoFrequenciaTempo, ULONG lFrequenciaLimiteTempo) {
    const LONGLONG dias = static_cast<LONGLONG>(lFrequenciaTempo) * DiasPorUnidade(lTipoFrequenciaTempo) -
                          static_cast<LONGLONG>(lFrequenciaLimiteTempo);
    return static_cast<ULONG>(DiasLimitados(dias));
}

// The counter after `dias` more days have run.
inline ULONG DiasDescontados(ULONG lQuantidadeDiasFalta, LONGLONG dias) {
    return static_cast<ULONG>(DiasLimitados(static_cast<LONGLONG>(static_cast<LONG>(lQuantidadeDiasFalta)) - dias));
}

// Copies the fields that name a piece of equipment (the equipment, the
// product and its grades, brand, model, type and serial number) between any
// two records that carry them: a plan's identification, its stored master
// record, a reading, a search filter. The destination's other fields are left
// as they are.
template <class TDestino, class TOrigem>
void CopiaEquipamento(TDestino& destino, const TOrigem& origem) {
    destino.lEquipamento = origem.lEquipamento;
    destino.lProduto = origem.lProduto;
    destino.lGrade1 = origem.lGrade1;
    destino.lGrade2 = origem.lGrade2;
    destino.lGrade3 = origem.lGrade3;
    destino.lMarca = origem.lMarca;
    destino.lModelo = origem.lModelo;
    destino.lTipo = origem.lTipo;
    CopiaTexto(destino.szNrSerie, origem.szNrSerie);
}

// Copies a plan's whole identification between its interface form and its
// stored master record: the equipment, then the branch, state, meter and
// the descriptive texts.
template <class TDestino, class TOrigem>
void CopiaIdentificacao(TDestino& destino, const TOrigem& origem) {
    CopiaEquipamento(destino, origem);
    destino.lFilial = origem.lFilial;
    destino.lSituacao = origem.lSituacao;
    destino.lMedidor = origem.lMedidor;
    CopiaTexto(destino.szAnoFabricacao, origem.szAnoFabricacao);
    CopiaTexto(destino.szCapacidade, origem.szCapacidade);
    CopiaTexto(destino.szNrPatrimonial, origem.szNrPatrimonial);
    CopiaTexto(destino.szMotor, origem.szMotor);
    CopiaTexto(destino.szFabricante, origem.szFabricante);
    CopiaTexto(destino.szCampoDinamico1, origem.szCampoDinamico1);
    CopiaTexto(destino.szCampoDinamico2, origem.szCampoDinamico2);
    CopiaTexto(destino.szCampoDinamico3, origem.szCampoDinamico3);
    CopiaTexto(destino.szCampoDinamico4, origem.szCampoDinamico4);
    CopiaTexto(destino.szCampoDinamico5, origem.szCampoDinamico5);
}

// Copies a stock place between its forms (a plan's or an order's, stored or
// interface): the same fields everywhere; the destination's other bytes are
// left as they are. Currency is copied by value: stored records are packed.
template <class TDestino, class TOrigem>
void CopiaLocalEstoque(TDestino& destino, const TOrigem& origem) {
    destino.vQuantidadeEs.int64 = origem.vQuantidadeEs.int64;
    destino.vPIUnitaria.int64 = origem.vPIUnitaria.int64;
    destino.lPonteiroLocal = origem.lPonteiroLocal;
    destino.lPonteiroLote = origem.lPonteiroLote;
    destino.lPonteiroForLote = origem.lPonteiroForLote;
    destino.lPonteiroVolume = origem.lPonteiroVolume;
    destino.lPonteiroForEPTETPE = origem.lPonteiroForEPTETPE;
    destino.lPonteiroCliEPTETPE = origem.lPonteiroCliEPTETPE;
    destino.lPonteiroControleFCI = origem.lPonteiroControleFCI;
    destino.cConteudoImportado = origem.cConteudoImportado;
    destino.cTipoProducao = origem.cTipoProducao;
}

// Frees the lists a plan read hands out, nested ones first; pointers
// become null and counts 0. Used when a read fails part-way, so that a
// failed call hands out nothing.
inline void LiberaListasPlano(_REG_CADASTRO_MANUTENCAO_PREVENTIVA_PS& plano) {
    auto& manutencoes = plano.listaManutencoes;
    if (manutencoes.pManutencoes != nullptr) {
        for (ULONG i = 0; i < manutencoes.lQtdManutencoes; ++i) {
            auto& m = manutencoes.pManutencoes[i];
            CoTaskMemFree(m.frequenciaPS.szObservacao.pTexto);
            if (m.listaProdutos.pProdutos != nullptr)
                for (ULONG p = 0; p < m.listaProdutos.lQtdProdutos; ++p)
                    CoTaskMemFree(m.listaProdutos.pProdutos[p].listaLocal.pLocaisEstoque);
            CoTaskMemFree(m.listaProdutos.pProdutos);
            CoTaskMemFree(m.listaServicos.pServicos);
        }
        CoTaskMemFree(manutencoes.pManutencoes);
    }
    CoTaskMemFree(plano.listaClientes.pClientes);
    manutencoes = {};
    plano.listaClientes = {};
}

// The same for an order: its lists, links, purchase-request keys and texts.
inline void LiberaListasMovimentacao(_REG_MOVIMENTACAO_MANUT_PREV_PS& m) {
    if (m.listaProdutos.pProdutos != nullptr)
        for (ULONG i = 0; i < m.listaProdutos.lQtdProdutos; ++i)
            CoTaskMemFree(m.listaProdutos.pProdutos[i].listaLocal.pLocaisEstoque);
    CoTaskMemFree(m.listaProdutos.pProdutos);
    CoTaskMemFree(m.listaServicos.pServicos);
    CoTaskMemFree(m.listaRelacionamentos.pRelacionamentos);
    CoTaskMemFree(m.listaIntegracoesCompras.pDMC);
    SysFreeString(m.bsObservacao);
    SysFreeString(m.bsOcorrencia);
    m.listaProdutos = {};
    m.listaServicos = {};
    m.listaRelacionamentos = {};
    m.listaIntegracoesCompras = {};
    m.bsObservacao = nullptr;
    m.bsOcorrencia = nullptr;
}

}  // namespace zenta
