// Message texts of the ERP's modules, kept in the text files
// <messages directory>/QV<module short name>Mens.txt (Windows-1252). Each line
// begins with the message number; the text starts at column 9 and writes line
// breaks as the two characters backslash and 'n'.
#pragma once

#include <filesystem>
#include <string>

#include <zenta/WinTypes.h>

namespace zenta {

class CQVMensagem {
public:
    // Looks the message up at once. A missing file is reported in a message
    // box titled "Erro" and gives an empty text, as does a missing message.
    CQVMensagem(ULONG ulCodigo, ULONG ulModulo);

    // The message text, Windows-1252.
    const std::string& GetMensagem() const { return m_strMensagem; }

    // The message-text file of a module.
    static std::filesystem::path ArquivoMensagens(ULONG ulModulo);

private:
    std::string m_strMensagem;
};

}  // namespace zenta
