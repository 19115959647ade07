// The ERP stand-in's database of a company and currency values, as tests
// set them up.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "standins/erp/QVErpBanco.h"

namespace zenta::teste {

// The process's shared connection to the ERP stand-in's database of `empresa`.
inline std::shared_ptr<zenta::ErpBanco> BancoErp(const std::string& empresa) {
    std::filesystem::path arquivo;
    EXPECT_EQ(zenta::ErpBanco::Caminho(empresa, arquivo), S_OK);
    std::shared_ptr<zenta::ErpBanco> banco;
    EXPECT_EQ(zenta::ErpBanco::Compartilhado(arquivo, banco), S_OK);
    return banco;
}

// Every schema version of the stand-in's database, 1 to the current one.
inline std::vector<int> TodasAsVersoesErp() {
    std::vector<int> v;
    for (int i = 1; i <= zenta::kVersaoEsquemaErp; ++i) v.push_back(i);
    return v;
}

// The service orders the technical-assistance stand-in holds for `empresa`.
inline int64_t QuantidadeOrdensServicoErp(const std::string& empresa) {
    int64_t n = -1;
    EXPECT_EQ(BancoErp(empresa)->Leitura([&](sqlite3* db) -> HRESULT {
        zenta::ErpComando c(db, "SELECT count(*) FROM ordem_servico");
        bool linha = false;
        if (FAILED(c.Prepara()) || FAILED(c.Passo(linha)) || !linha) return E_FAIL;
        n = c.Inteiro(0);
        return S_OK;
    }),
              S_OK);
    return n;
}

// A currency value of whole units, and one given in ten-thousandths.
inline CY Moeda(long long unidades) {
    CY v{};
    v.int64 = unidades * 10000;
    return v;
}
inline CY ValorBruto(long long dezMilesimos) {
    CY v{};
    v.int64 = dezMilesimos;
    return v;
}

}  // namespace zenta::teste
