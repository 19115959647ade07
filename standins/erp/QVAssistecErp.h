// The ERP stand-in's technical-assistance server: service orders
// (IQVGE_ASTMov) kept in the company's stand-in file, table ordem_servico
// (schema version 4, described in QVErpBanco.cpp). The class is in the
// in-process class table as CLSID_QVAssistecErp; the manager accessor hands
// out instances already initialised for the session.
//
// Every input is checked before anything is stored: counts above the limits
// below, or a count without its array, are refused with E_INVALIDARG.
#pragma once

#include <string_view>

#include <zenta/WinTypes.h>

#include "access/IQVGE_ASTMov.h"

namespace zenta {

// Limits of one service order and of one search.
inline constexpr ULONG kMaxTecnicosOrdemServico = 1000;
inline constexpr ULONG kMaxItensTecnicoOrdemServico = 10000;
inline constexpr ULONG kMaxLocaisItemOrdemServico = 1000;
inline constexpr ULONG kMaxBytesBlocosOrdemServico = 64u * 1024u * 1024u;
inline constexpr ULONG kMaxNrSerieOrdemServico = 4096;  // UTF-16 units
inline constexpr ULONG kMaxChavesBuscaOrdemServico = 10000;

// A new, not yet initialised instance (the class object's CreateInstance).
HRESULT CriaAssistecErp(REFIID riid, void** ppv);

// Marks a stored service order closed, as a person does in the module: it
// is read back with ucEncerrada set and the maintenance logic no longer
// rewrites it. S_FALSE when the company holds no such order. The company
// name is checked as elsewhere.
HRESULT FechaOrdemServicoErp(std::string_view empresa, USHORT maOS, ULONG lPtrOS);

}  // namespace zenta
