// The ERP stand-in's database of a company and currency values, as tests
// set them up.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

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
