#include <zenta/QVUnknown.h>

#include "values/QVCrc64.h"

TEST(QVCrc64, CheckValueSeedAndChaining) {
    EXPECT_EQ(zenta::QVCrc64("123456789", 9), 0x2B9C7EE4E2780C8Aull);
    EXPECT_EQ(zenta::QVCrc64("", 0), 0u);
    EXPECT_EQ(zenta::QVCrc64("", 0, 77), 77u);
    // A CRC continued from a seed equals the CRC of the whole run.
    const uint64_t parte = zenta::QVCrc64("1234", 4);
    EXPECT_EQ(zenta::QVCrc64("56789", 5, parte), 0x2B9C7EE4E2780C8Aull);
    // The exported form is the same function.
    EXPECT_EQ(QVCalculaCrc64("123456789", 9, 0), 0x2B9C7EE4E2780C8Aull);
    EXPECT_EQ(QVCalculaCrc64(nullptr, 9, 5), 5u);
}
