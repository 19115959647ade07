// Template definitions of Sessao.h.
#pragma once

#include "server/QVJsonRegistros.h"

namespace zenta::ctl {

template <class T>
nlohmann::json ParaJson(const T& registro, std::string_view operacao) {
    nlohmann::json saida;
    std::string erro;
    const HRESULT hr = RegistroParaJson(registro, saida, erro);
    if (FAILED(hr)) throw FalhaOperacao(std::string(operacao), hr, erro);
    return saida;
}

template <class T>
void DeJson(const nlohmann::json& documento, T& registro, std::string_view operacao) {
    std::string erro;
    const HRESULT hr = JsonParaRegistro(documento, registro, erro);
    if (FAILED(hr)) throw FalhaOperacao(std::string(operacao), hr, erro);
}

template <class T>
Liberador<T>::~Liberador() {
    LiberaRegistro(m_registro);
}

}  // namespace zenta::ctl
