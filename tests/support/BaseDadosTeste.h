// A small database of test record types for the container, compaction and
// fault-injection tests: parents with a run of children and a text, children
// with a run of grandchildren, and a model of what the files must hold.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/QVModulos.h"
#include "core/qvdatabase/QVDataBase.h"
#include "core/qvdatabase/QVFile.h"
#include "core/qvdatabase/QVTextFile.h"

namespace zenta::teste {

#pragma pack(push, 1)
struct REG_TESTE_PAI {
    ULONG lCodigo;
    ULONG lFilhos;      // first child
    ULONG lQtdFilhos;   // number of children
    ULONG lTexto;       // text position
    char szNome[16];
};
struct REG_TESTE_FILHO {
    ULONG lCodigoPai;
    ULONG lSequencia;
    ULONG lNetos;
    ULONG lQtdNetos;
    char szDado[16];
};
struct REG_TESTE_NETO {
    ULONG lCodigoFilho;  // parent code × 100 + child sequence
    ULONG lSequencia;
    char szDado[8];
};
#pragma pack(pop)
static_assert(sizeof(REG_TESTE_PAI) == 32);
static_assert(offsetof(REG_TESTE_PAI, lFilhos) == 4);
static_assert(offsetof(REG_TESTE_PAI, lQtdFilhos) == 8);
static_assert(offsetof(REG_TESTE_PAI, lTexto) == 12);
static_assert(sizeof(REG_TESTE_FILHO) == 32);
static_assert(offsetof(REG_TESTE_FILHO, lNetos) == 8);
static_assert(sizeof(REG_TESTE_NETO) == 16);

inline constexpr const char* NOME_PAI = "TSPAI.dat";
inline constexpr const char* NOME_FILHO = "TSFILHO.dat";
inline constexpr const char* NOME_NETO = "TSNETO.dat";
inline constexpr const char* NOME_TEXTO = "TSTEXTO.dat";

// The database: compacts its chain (parents → children → grandchildren) and
// the parents' texts at start-up, then loads every file.
class CQVDataBaseTeste : public CQVDataBase {
public:
    CQVDataBaseTeste() : CQVDataBase(QV_MODULO_GE) {}

    CQVFile<REG_TESTE_PAI> m_Pai{NOME_PAI, this};
    CQVFile<REG_TESTE_FILHO> m_Filho{NOME_FILHO, this};
    CQVFile<REG_TESTE_NETO> m_Neto{NOME_NETO, this};
    CQVTextFile m_Texto{NOME_TEXTO, this};
    bool m_bCompacta = true;

protected:
    HRESULT OnInicializa() override {
        if (m_bCompacta) {
            QV_CHECK(ShrinkFile(m_Pai, m_Filho, offsetof(REG_TESTE_PAI, lFilhos), offsetof(REG_TESTE_PAI, lQtdFilhos)));
            QV_CHECK(ShrinkFile(m_Filho, m_Neto, offsetof(REG_TESTE_FILHO, lNetos), offsetof(REG_TESTE_FILHO, lQtdNetos)));
            QV_CHECK(ShrinkSingleText(m_Pai, m_Texto, offsetof(REG_TESTE_PAI, lTexto)));
        }
        return CQVDataBase::OnInicializa();
    }
};

inline std::string TextoDoPai(ULONG codigo) { return "observação do plano " + std::to_string(codigo); }

// What the database must hold: for each parent code, its number of children
// and, per child, its number of grandchildren. Parents with code 0 mod 5 have
// no text.
using Modelo = std::map<ULONG, std::vector<ULONG>>;

// Writes a parent with its children and grandchildren as the service does:
// new runs are appended, and an existing parent is rewritten at its position.
inline void GravaPlano(CQVDataBaseTeste& db, ULONGLONG& uiPosPai, ULONG codigo, const std::vector<ULONG>& netos) {
    std::vector<REG_TESTE_FILHO> filhos;
    for (ULONG s = 1; s <= netos.size(); ++s) {
        std::vector<REG_TESTE_NETO> aNetos;
        for (ULONG n = 1; n <= netos[s - 1]; ++n) {
            REG_TESTE_NETO neto{};
            neto.lCodigoFilho = codigo * 100 + s;
            neto.lSequencia = n;
            std::snprintf(neto.szDado, sizeof neto.szDado, "n%u", static_cast<unsigned>(n));
            aNetos.push_back(neto);
        }
        ULONGLONG uiNeto = 0;
        if (!aNetos.empty()) {
            ASSERT_EQ(db.m_Neto.GravaColecao(uiNeto, aNetos), S_OK);
        }
        REG_TESTE_FILHO filho{};
        filho.lCodigoPai = codigo;
        filho.lSequencia = s;
        filho.lNetos = static_cast<ULONG>(uiNeto);
        filho.lQtdNetos = static_cast<ULONG>(aNetos.size());
        std::snprintf(filho.szDado, sizeof filho.szDado, "f%u", static_cast<unsigned>(s));
        filhos.push_back(filho);
    }
    ULONGLONG uiFilho = 0;
    if (!filhos.empty()) {
        ASSERT_EQ(db.m_Filho.GravaColecao(uiFilho, filhos), S_OK);
    }
    ULONGLONG uiTexto = 0;
    if (codigo % 5 != 0) {
        ASSERT_EQ(db.m_Texto.Grava(uiTexto, TextoDoPai(codigo)), S_OK);
    }
    REG_TESTE_PAI pai{};
    pai.lCodigo = codigo;
    pai.lFilhos = static_cast<ULONG>(uiFilho);
    pai.lQtdFilhos = static_cast<ULONG>(filhos.size());
    pai.lTexto = static_cast<ULONG>(uiTexto);
    std::snprintf(pai.szNome, sizeof pai.szNome, "plano %u", static_cast<unsigned>(codigo));
    ASSERT_EQ(db.m_Pai.Grava(uiPosPai, pai), S_OK);
}

// Writes plans 1..n, then rewrites some of them (leaving their old runs and
// texts unreferenced), and returns the model.
inline Modelo GravaBaseComLixo(CQVDataBaseTeste& db, ULONG n = 6) {
    Modelo modelo;
    std::vector<ULONGLONG> posicoes(n + 1, 0);
    for (ULONG c = 1; c <= n; ++c) {
        std::vector<ULONG> netos;
        for (ULONG s = 0; s < c % 4; ++s) netos.push_back((c + s) % 3);
        GravaPlano(db, posicoes[c], c, netos);
        modelo[c] = netos;
    }
    for (ULONG c = 2; c <= n; c += 2) {
        std::vector<ULONG> netos{1, c % 3, 2};
        GravaPlano(db, posicoes[c], c, netos);
        modelo[c] = netos;
    }
    return modelo;
}

// Checks that the loaded database holds exactly the model, every link right.
inline void ConfereModelo(CQVDataBaseTeste& db, const Modelo& modelo) {
    ASSERT_EQ(db.m_Pai.GetQtdRegistros(), modelo.size());
    for (ULONGLONG p = 1; p <= db.m_Pai.GetQtdRegistros(); ++p) {
        REG_TESTE_PAI pai{};
        ASSERT_EQ(db.m_Pai.Le(p, pai), S_OK);
        const auto it = modelo.find(pai.lCodigo);
        ASSERT_NE(it, modelo.end()) << "plano " << pai.lCodigo;
        const std::vector<ULONG>& netos = it->second;
        ASSERT_EQ(pai.lQtdFilhos, netos.size()) << "plano " << pai.lCodigo;
        ASSERT_EQ(pai.lFilhos == 0, netos.empty());
        for (ULONG s = 1; s <= netos.size(); ++s) {
            REG_TESTE_FILHO filho{};
            ASSERT_EQ(db.m_Filho.Le(pai.lFilhos + s - 1, filho), S_OK);
            ASSERT_EQ(filho.lCodigoPai, pai.lCodigo);
            ASSERT_EQ(filho.lSequencia, s);
            ASSERT_EQ(filho.lQtdNetos, netos[s - 1]);
            for (ULONG k = 1; k <= filho.lQtdNetos; ++k) {
                REG_TESTE_NETO neto{};
                ASSERT_EQ(db.m_Neto.Le(filho.lNetos + k - 1, neto), S_OK);
                ASSERT_EQ(neto.lCodigoFilho, pai.lCodigo * 100 + s);
                ASSERT_EQ(neto.lSequencia, k);
            }
        }
        if (pai.lCodigo % 5 == 0) {
            ASSERT_EQ(pai.lTexto, 0u);
        } else {
            std::string texto;
            ASSERT_EQ(db.m_Texto.Le(pai.lTexto, texto), S_OK);
            ASSERT_EQ(texto, TextoDoPai(pai.lCodigo));
        }
    }
}

// Children, grandchildren and texts the model refers to.
inline ULONGLONG FilhosDoModelo(const Modelo& m) {
    ULONGLONG n = 0;
    for (const auto& [c, netos] : m) n += netos.size();
    return n;
}
inline ULONGLONG NetosDoModelo(const Modelo& m) {
    ULONGLONG n = 0;
    for (const auto& [c, netos] : m)
        for (ULONG k : netos) n += k;
    return n;
}
inline ULONGLONG TextosDoModelo(const Modelo& m) {
    ULONGLONG n = 0;
    for (const auto& [c, netos] : m) n += (c % 5 != 0) ? 1 : 0;
    return n;
}

}  // namespace zenta::teste
