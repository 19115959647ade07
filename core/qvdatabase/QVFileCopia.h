// A work copy of a file: a file object that starts empty. Initialising it
// deletes any file of its name (a copy left behind by an attempt that did not
// finish), so what is written to it is all it holds. Header insertion and
// whole-content replacement build their new file in such a copy, with the
// extension "cab", and rename it over the original.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <zenta/WinTypes.h>

#include "core/qvdatabase/QVFileBase.h"

namespace zenta {

class CQVFileCopia : public CQVFileBase {
public:
    CQVFileCopia(std::string_view sNomeArquivo, zenta::IQVDataBaseContainer* pDataBase);
    ~CQVFileCopia() override;

    // Writes `tamanho` bytes at `offset` of the copy, creating it when needed.
    HRESULT GravaBytes(uint64_t offset, const void* pDados, std::size_t tamanho);

protected:
    // Deletes any file of the copy's name, so that the copy starts empty.
    HRESULT OnInicializa() override;
};

}  // namespace zenta
