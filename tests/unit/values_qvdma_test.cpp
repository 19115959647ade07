// Dates, month/year codes, file keys, times of day and the clock hook.

#include "values/QVDMA.h"
#include "values/QVHMS.h"
#include "values/QVMesAno.h"
#include "values/RelogioSistema.h"

using namespace zenta;

namespace {

TEST(QVDMA, KnownDayNumbersAndEveryStoredDayRebuilds) {
    for (const auto& [dia, mes, ano, n] : {std::tuple{1, 1, 1848, 2u}, {1, 3, 1900, 19054u}, {1, 1, 2000, 55519u},
                                           {31, 12, 4717, 1048247u}, {29, 2, 2024, 64344u}})
        EXPECT_EQ(REG_QVDMA(dia, mes, ano).GetData(), n) << dia << '/' << mes << '/' << ano;
    int d, m, a;
    REG_QVDMA(0u).GetDMA(d, m, a);
    EXPECT_EQ(d + m + a, 0);
    // Day 1 (1847-12-31) splits, but lies before the first buildable year.
    for (ULONG n = 2; n <= 1048247u; ++n) {
        REG_QVDMA(n).GetDMA(d, m, a);
        ASSERT_EQ(REG_QVDMA(d, m, a).GetData(), n) << d << '/' << m << '/' << a;
    }
}

TEST(QVDMA, BuildingCutsAndRejects) {
    EXPECT_EQ(REG_QVDMA(29, 2, 2023), REG_QVDMA(28, 2, 2023));
    EXPECT_EQ(REG_QVDMA(31, 4, 2024), REG_QVDMA(30, 4, 2024));
    EXPECT_EQ(REG_QVDMA(30, 2, 2024), REG_QVDMA(29, 2, 2024));
    for (const auto& [dia, mes, ano] : {std::tuple{1, 13, 2024}, {0, 1, 2024}, {-1, 1, 2024}, {1, 1, 1847},
                                        {1, 1, 4718}, {1, 1, 100}})
        EXPECT_TRUE(REG_QVDMA(dia, mes, ano).EstaVazia()) << dia << '/' << mes << '/' << ano;
    EXPECT_EQ(REG_QVDMA(1, 1, 83), REG_QVDMA(1, 1, 2083));
    EXPECT_EQ(REG_QVDMA(1, 1, 84), REG_QVDMA(1, 1, 1984));
}

TEST(QVDMA, WeekdayDayAndWeekOfYear) {
    EXPECT_EQ(REG_QVDMA(1, 1, 1848).GetDiaSemana(), 7);  // Saturday
    EXPECT_EQ(REG_QVDMA(1, 1, 1984).GetDiaSemana(), 1);  // Sunday
    EXPECT_EQ(REG_QVDMA().GetDiaSemana(), 0);
    EXPECT_EQ(REG_QVDMA(1, 3, 1900).GetDiaAno(), 60);
    EXPECT_EQ(REG_QVDMA(31, 12, 2024).GetDiaAno(), 366);
    EXPECT_EQ(REG_QVDMA(6, 1, 2024).GetSemanaAno(), 1);
    EXPECT_EQ(REG_QVDMA(7, 1, 2024).GetSemanaAno(), 2);  // the first Sunday starts week 2
    EXPECT_EQ(REG_QVDMA(3, 2, 2023).UltimoDiaMes(), REG_QVDMA(28, 2, 2023));
}

TEST(QVDMA, OtherEncodings) {
    EXPECT_EQ(REG_QVDMA(5, 7, 2022).GetAAAAMMDD(), 20220705u);
    EXPECT_EQ(REG_QVDMA().SetAAAAMMDD(20220705u), REG_QVDMA(5, 7, 2022));
    EXPECT_TRUE(REG_QVDMA().SetAAAAMMDD(20221305u).EstaVazia());
    EXPECT_TRUE(REG_QVDMA().SetAAAAMMDD(4294967295u).EstaVazia());

    // Short dates: 16-bit day counts from 1850 with 1900 taken as a leap year.
    for (const auto& [curta, data] : {std::pair{1, REG_QVDMA(1, 1, 1850)}, {65535, REG_QVDMA(4, 6, 2029)},
                                      {18322, REG_QVDMA(28, 2, 1900)}, {18323, REG_QVDMA(1, 3, 1900)}, {0, REG_QVDMA()}})
        EXPECT_EQ(REG_QVDMA().SetDataCurta(static_cast<USHORT>(curta)), data) << curta;
    // Beyond 16 bits and before the count starts: none.
    for (const auto& [data, curta] : {std::pair{REG_QVDMA(1, 3, 1900), 18323}, {REG_QVDMA(28, 2, 1900), 18321},
                                      {REG_QVDMA(5, 6, 2029), 0}, {REG_QVDMA(31, 12, 1849), 0}})
        EXPECT_EQ(data.GetDataCurta(), curta) << data.GetData();

    EXPECT_EQ(REG_QVDMA(15, 12, 2022).GetMa(), 2100);
    EXPECT_EQ(REG_QVDMA().SetMa(QVMAFromMesAno(2, 2023), 31), REG_QVDMA(28, 2, 2023));
    EXPECT_TRUE(REG_QVDMA().SetMa(0, 1).EstaVazia());
}

TEST(QVDMA, Arithmetic) {
    EXPECT_EQ(REG_QVDMA(31, 1, 2024).SomaMeses(1), REG_QVDMA(29, 2, 2024));
    EXPECT_EQ(REG_QVDMA(31, 3, 2024).SomaMeses(-1), REG_QVDMA(29, 2, 2024));
    EXPECT_EQ(REG_QVDMA(15, 11, 2023).SomaMeses(3), REG_QVDMA(15, 2, 2024));
    EXPECT_EQ(REG_QVDMA(29, 2, 2024).SomaAnos(1), REG_QVDMA(28, 2, 2025));
    EXPECT_EQ(REG_QVDMA(1, 3, 2024).SomaDias(-1), REG_QVDMA(29, 2, 2024));
    EXPECT_EQ(REG_QVDMA(1, 3, 2023).DiferencaDias(REG_QVDMA(1, 3, 2024)), -366);
    // Out of the stored range: no date, never a wrapped number or a widened year.
    EXPECT_TRUE(REG_QVDMA(1, 1, 1848).SomaDias(-2).EstaVazia());
    EXPECT_TRUE(REG_QVDMA(31, 12, 4717).SomaDias(1).EstaVazia());
    EXPECT_TRUE(REG_QVDMA(1, 12, 4717).SomaMeses(1).EstaVazia());
    EXPECT_TRUE(REG_QVDMA(1, 1, 1900).SomaAnos(-1850).EstaVazia());
    EXPECT_TRUE(REG_QVDMA().SomaDias(5).EstaVazia());
}

TEST(QVDMA, TextStylesAndRoomForTextAndZero) {
    const REG_QVDMA d(5, 7, 2022);
    EXPECT_EQ(d.Formata(0, '/'), "05/07/22");
    EXPECT_EQ(d.Formata(2, '-'), "07-05-22");
    EXPECT_EQ(d.Formata(4, '.'), "22.07.05");
    EXPECT_EQ(REG_QVDMA(1, 3, 2023).Formata(6), "01 de Mar\xE7o de 2023");
    EXPECT_EQ(d.Formata(99, '/'), "07/2022");
    // The four-digit option only widens years outside 1984..2083.
    EXPECT_EQ(d.Formata(0, '/', true), "05/07/22");
    EXPECT_EQ(REG_QVDMA(5, 7, 1950).Formata(4, '/', true), "1950/07/05");
    EXPECT_EQ(REG_QVDMA().Formata(1, '/'), "");

    char buf[32];
    EXPECT_TRUE(d.Formata(buf, 9, 0, '/'));
    EXPECT_STREQ(buf, "05/07/22");
    EXPECT_FALSE(d.Formata(buf, 8, 0, '/'));
    EXPECT_STREQ(buf, "");
    // The long form asks for 24 bytes whatever the month's name.
    EXPECT_FALSE(d.Formata(buf, 23, 6));
    EXPECT_TRUE(d.Formata(buf, 24, 6));
    EXPECT_FALSE(d.Formata(buf, 0, 1));
    EXPECT_TRUE(REG_QVDMA::FormataDMA(5, 7, 22, buf, sizeof buf, 1, '/'));
    EXPECT_STREQ(buf, "05/07/2022");
    for (const auto& [dia, mes, ano] : {std::tuple{32, 7, 2022}, {5, 13, 2022}, {5, 7, 101}, {5, 7, 1847}})
        EXPECT_FALSE(REG_QVDMA::FormataDMA(dia, mes, ano, buf, sizeof buf, 1, '/')) << dia << '/' << mes << '/' << ano;
}

TEST(QVDMA, TodayFollowsTheClockHook) {
    zenta::RelogioFixoEscopo relogio({2024, 2, 29, 13, 45, 7});
    EXPECT_EQ(REG_QVDMA::Hoje(), REG_QVDMA(29, 2, 2024));
    EXPECT_EQ(REG_QVHMS::Agora().GetHHMMSS(), 134507u);
    EXPECT_EQ(QVMAAtual(), QVMAFromMesAno(2, 2024));
    int dia = 10;
    zenta::RelogioSistema::DefineFonte([&dia] { return zenta::RelogioSistema::Instante{2023, 3, dia++, 0, 0, 0}; });
    EXPECT_EQ(REG_QVDMA::Hoje(), REG_QVDMA(10, 3, 2023));
    EXPECT_EQ(REG_QVDMA::Hoje(), REG_QVDMA(11, 3, 2023));
}

TEST(QVMesAno, CodesAndKeys) {
    EXPECT_EQ(QVMAFromMesAno(1, 1848), 1);
    EXPECT_EQ(QVMAFromMesAno(12, 4717), 34440);
    EXPECT_EQ(QVMAFromMesAno(12, 22), 2100);
    for (const auto& [mes, ano] : {std::pair{0, 2022}, {13, 2022}, {1, 1847}, {1, 4718}})
        EXPECT_EQ(QVMAFromMesAno(mes, ano), 0) << mes << '/' << ano;
    int m, a;
    QVMAToMesAno(13, m, a);
    EXPECT_EQ(m * 10000 + a, 11849);
    EXPECT_EQ(QVMAToChave(2100), 122022u);
    EXPECT_EQ(QVMAToChave(QVMAFromMesAno(7, 2022)), 72022u);
    EXPECT_EQ(QVMAToChave(0), 0u);
    EXPECT_EQ(QVChaveToMA(132022u), 0);
    EXPECT_EQ(QVChaveToMA(10022u), 0);  // two-digit years do not name files
    for (USHORT ma = 1; ma <= QVMA_MAXIMO; ++ma) ASSERT_EQ(QVChaveToMA(QVMAToChave(ma)), ma);
}

TEST(QVHMS, BuildAndRead) {
    EXPECT_EQ(REG_QVHMS(23, 59, 59).GetSegundosDia(), 86399u);
    for (const REG_QVHMS ruim : {REG_QVHMS(24, 0, 0), REG_QVHMS(10, 60, 0), REG_QVHMS(10, 0, -1),
                                 REG_QVHMS().SetHHMMSS(240000), REG_QVHMS().SetHHMMSS(4294967295u),
                                 REG_QVHMS().SetMinutosDia(1440)})
        EXPECT_EQ(ruim.GetSegundosDia(), 0u);
    REG_QVHMS h(13, 45, 7);
    EXPECT_EQ(h.GetHHMMSS(), 134507u);
    EXPECT_EQ(h.GetMinutosDia(), 825u);
    EXPECT_EQ(h.ZeraSegundos(), REG_QVHMS(13, 45, 0));
}

}  // namespace
