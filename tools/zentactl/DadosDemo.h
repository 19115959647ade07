// The demo company's sample data, as the JSON documents the commands take:
// the ERP stand-in's master data, the service properties, the plans, the
// readings and a replacement meter.
#pragma once

#include <span>
#include <string_view>

namespace zenta::ctl::demo {

// `erp import` document: branches, users with e-mail, towns, clients, brands,
// models, equipment types, equipments, units, products, grade items, services;
// for the reports, the equipment register, clients' commercial records and
// stock locations.
extern const std::string_view kCadastrosErp;
// `properties set` document: notice settings and the captions of the free fields.
extern const std::string_view kPropriedades;
// `plans save` documents: an equipment plan with a time maintenance every
// 3 months and a meter maintenance every 500 hours (services, products with
// stock places), a second equipment plan, a product plan and an inactive one.
std::span<const std::string_view> Planos();
// Readings (reading records) taken after the plans were saved, in order;
// each names the plan (index into Planos()) it belongs to in "plano".
extern const std::string_view kMedicoes;
// The meter that replaces the first plan's.
extern const std::string_view kMedidorNovo;
// `orders save` documents for the first plan (its identification, plan
// position and maintenance code are filled in from the saved plan): an open
// order of its first maintenance, and its second maintenance concluded with
// a service order raised.
extern const std::string_view kOrdemAberta;
extern const std::string_view kOrdemConcluida;

}  // namespace zenta::ctl::demo
