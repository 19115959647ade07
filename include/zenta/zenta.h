// The preventive-maintenance service's SDK: base types, the COM-style calls
// a client needs, the interface, its records and identifiers.
//
//   CoInitializeEx(nullptr, COINIT_MULTITHREADED);
//   IQVGE_ManutencaoPreventiva* p = nullptr;
//   CoCreateInstance(CLSID_QVGE_ManutencaoPreventiva, nullptr, CLSCTX_INPROC_SERVER,
//                    IID_IQVGE_ManutencaoPreventiva, reinterpret_cast<void**>(&p));
//   p->Inicializa_Padrao(registro);  // company, user, session, CRC-64
//   ...
//   p->Release();
//   CoUninitialize();
#pragma once

#include <zenta/IQVGE_ManutencaoPreventiva.h>
#include <zenta/ObjBase.h>
#include <zenta/OleAuto.h>
#include <zenta/QVGE_ManutencaoPreventivaRecords.h>
#include <zenta/QVUnknown.h>
#include <zenta/Unknwn.h>
#include <zenta/WinTypes.h>
#include <zenta/ZentaApi.h>
