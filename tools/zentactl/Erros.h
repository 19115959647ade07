// The two ways a zentactl command fails: an operation that failed (exit 1,
// reported with its result code) and a command line that makes no sense
// (exit 2).
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include <zenta/WinTypes.h>

namespace zenta::ctl {

// A failed operation: printed as "zentactl: <operacao>: 0x%08X <NAME>: <mensagem>".
class FalhaOperacao : public std::runtime_error {
public:
    FalhaOperacao(std::string operacao, HRESULT hr, std::string mensagem)
        : std::runtime_error(operacao + ": " + mensagem),
          m_operacao(std::move(operacao)),
          m_hr(hr),
          m_mensagem(std::move(mensagem)) {}
    const std::string& Operacao() const { return m_operacao; }
    HRESULT Hr() const { return m_hr; }
    const std::string& Mensagem() const { return m_mensagem; }

private:
    std::string m_operacao;
    HRESULT m_hr;
    std::string m_mensagem;
};

// A command line that parsed but makes no sense (exit code 2).
class ErroUso : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zenta::ctl
