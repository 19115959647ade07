// The 64-bit record key of the per-month file families.

#include "values/QVDMC.h"
#include "values/QVMesAno.h"

using namespace zenta;

namespace {

TEST(QVDMC, BitLayoutAndFieldsThatDoNotBleed) {
    REG_QVDMC dmc;
    dmc.SetDMC(5, REG_QVDMC::MOVIMENTO_GERENCIADOR_MANUT_PREV, QVMAFromMesAno(12, 2022));
    // The bit layout other modules read: kind | movement << 2 | pointer << 14 | date << 46.
    EXPECT_EQ(dmc.Get64(), 2ull | (84ull << 2) | (5ull << 14) | (2100ull << 46));
    EXPECT_EQ(dmc.GetDataCompleta(), REG_QVDMA(1, 12, 2022));

    dmc.SetDMC(0xFFFFFFFFu, 0xFFFF, QVMA_MAXIMO);
    EXPECT_EQ(dmc.GetTipoMovimento(), 0xFFF);  // only 12 bits are kept
    dmc.SetPonteiro(7);
    EXPECT_EQ(dmc.GetPonteiro(), 7u);
    EXPECT_EQ(dmc.GetTipoMovimento(), 0xFFF);
    EXPECT_EQ(dmc.GetMa(), QVMA_MAXIMO);
}

TEST(QVDMC, DateKinds) {
    REG_QVDMC dmc;
    EXPECT_EQ(dmc.SetDMC(3, 84, 0).GetTipoData(), REG_QVDMC::TIPO_DATA_NENHUMA);
    const REG_QVDMA dia(17, 5, 2023);
    dmc.SetDMCData(9, 84, dia);
    EXPECT_EQ(dmc.GetTipoData(), REG_QVDMC::TIPO_DATA_COMPLETA);
    EXPECT_EQ(dmc.GetDataCompleta(), dia);
    EXPECT_EQ(dmc.GetMa(), QVMAFromMesAno(5, 2023));
    // A day number past 18 bits is not cut into another day.
    EXPECT_EQ(dmc.SetDMCData(9, 84, REG_QVDMA(19, 9, 2565)).GetDataCompleta(), REG_QVDMA(19, 9, 2565));
    EXPECT_EQ(dmc.SetDMCData(9, 84, REG_QVDMA(20, 9, 2565)).GetTipoData(), REG_QVDMC::TIPO_DATA_NENHUMA);
    dmc.SetDMCAno(1, 84, 2024);
    EXPECT_EQ(dmc.GetTipoData(), REG_QVDMC::TIPO_DATA_ANO);
    EXPECT_EQ(dmc.GetDataCompleta(), REG_QVDMA(1, 1, 2024));
    EXPECT_EQ(dmc.SetDMCAno(1, 84, 1700).GetTipoData(), REG_QVDMC::TIPO_DATA_NENHUMA);
}

}  // namespace
