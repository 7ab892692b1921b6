#pragma once

#include <array>

// The texts demonstration and benchmark data are made of.
namespace quorvale::admin::demo {

inline constexpr std::array<const char *, 30> CompanyNames{
    "Abernathy & Sons Joinery",   "Blue Heron Veterinary Clinic", "Castellan Freight GmbH",
    "Dunmore Property Trust",     "Eastgate Dental Practice",     "Fairweather Architects LLP",
    "Greyfield Orchards",         "Harrow & Pike Solicitors",     "Ironbridge Engineering Ltd",
    "Juniper Lane Bakery",        "Kestrel Aviation Services",    "Larkspur Interiors",
    "Meridian Health Partners",   "Northwind Logistics",          "O'Malley's Public House",
    "Pemberton Capital Advisors", "Quayside Marine Supplies",     "Redfern Printing Co.",
    "Saltmarsh Brewing Company",  "Thornbury Parish Council",     "Upland Outdoor Gear",
    "Valebrook Primary School",   "Westcott Auto Repairs",        "Yarrow Garden Centre",
    "Zenith Software Labs",       "Ashcombe Hotel & Spa",         "Brightwater Utilities",
    "Cobalt Media Group",         "Dovetail Furniture Makers",    "Elmstead Care Homes"};

struct ActivityText {
    const char *name;
    const char *number;
    const char *description;
};

inline constexpr std::array<ActivityText, 12> Services{{
    {"Consulting", "S-100", "Advice and analysis for the client"},
    {"Software Development", "S-110", "Design, programming and testing"},
    {"Project Management", "S-120", "Planning, coordination and reporting"},
    {"Training", "S-130", "Courses and one-to-one coaching"},
    {"Support", "S-140", "Help desk and troubleshooting"},
    {"Meetings", "S-150", "Meetings with the client or the team"},
    {"Research", "S-160", "Investigation of options and products"},
    {"Documentation", "S-170", "Manuals, specifications and reports"},
    {"Travel Time", "S-180", "Time on the road to and from the client"},
    {"Code Review", "S-190", "Review of the client's or our own code"},
    {"Network Administration", "S-200", "Servers, backups and networks"},
    {"Legacy Reporting", "S-900", "Retired service kept for old TimeCards"},
}};

inline constexpr std::array<ActivityText, 10> Projects{{
    {"Website Relaunch", "P-2301", "New public website and shop"},
    {"ERP Migration", "P-2302", "Move to the new accounting system"},
    {"Annual Audit Support", "P-2303", "Records and reports for the auditors"},
    {"Office Network Upgrade", "P-2304", "New switches, wireless and firewall"},
    {"Customer Portal", "P-2305", "Self-service portal for customers"},
    {"Data Warehouse", "P-2306", "Reporting database and dashboards"},
    {"Mobile App", "P-2307", "Phone app for field staff"},
    {"Security Review", "P-2308", "Assessment and hardening"},
    {"Staff Onboarding", "P-2309", "Accounts, devices and training for new staff"},
    {"General", "P-0000", "Work outside a named project"},
}};

inline constexpr std::array<const char *, 20> WorkDescriptions{
    "Weekly status call",
    "Reviewed requirements and updated the estimate",
    "Fixed reported problem with the invoice export",
    "Prepared agenda and notes for the steering meeting",
    "Configured user accounts and permissions",
    "Drafted the proposal for the next phase",
    "Tested the new release on the staging system",
    "Answered questions by e-mail",
    "On-site visit: workshop with the department heads",
    "Migrated historical records and checked totals",
    "Wrote the installation guide",
    "Investigated slow database queries",
    "Phone call about change request #14",
    "Reviewed the pull requests of the week",
    "Set up backups and tested a restore",
    "Trained two new staff members on the system",
    "Updated the project plan and budget figures",
    "Analysed the \"quarterly\" figures with the finance team",
    "Travel to the client's office and back",
    "Follow-up on open support tickets"};

inline constexpr std::array<const char *, 6> InternalDescriptions{
    "Internal: team meeting",         "Internal: time sheets and admin",
    "Internal: training course",      "Internal: sales call preparation",
    "Internal: hardware maintenance", "Internal: knowledge base articles"};

// The journal's entry types that fit billable work.
inline constexpr std::array<const char *, 8> EntryTypes{
    "Task",     "Phone call",     "Meeting",      "E-mail Message",
    "Document", "Remote session", "Conversation", "Microsoft Word"};

// The person each demonstration client's card is made out to, by company.
inline constexpr std::array<const char *, 30> ContactPeople{
    "Margaret Abernathy", "Dr. Owen Hale",    "Katrin Vogel",       "Samuel Dunmore",
    "Priya Natarajan",    "Lucy Fairweather", "Tom Greyfield",      "Eleanor Harrow",
    "Rajesh Iyer",        "Hannah Brooks",    "Miguel Ortega",      "Chloé Lambert",
    "Dr. Ada Mensah",     "Erik Lindqvist",   "Siobhán O'Malley",   "Charles Pemberton",
    "Fiona Quayle",       "Gareth Redfern",   "Isla MacLeod",       "Rev. Peter Thorne",
    "Nadia Kowalski",     "Grace Adeyemi",    "Wei Zhang",          "Olivia Yarrow",
    "Yuki Tanaka",        "Sophie Ashcombe",  "Daniel Brightwater", "Amara Okafor",
    "Jonas Weber",        "Helen Elmstead"};

struct Town {
    const char *city;
    const char *region;
    const char *postalCode;
    const char *country;
};

inline constexpr std::array<Town, 6> Towns{{
    {"Bristol", "Avon", "BS1 4DJ", "United Kingdom"},
    {"Leeds", "West Yorkshire", "LS1 5AB", "United Kingdom"},
    {"Hamburg", "Hamburg", "20095", "Germany"},
    {"Portland", "OR", "97205", "United States"},
    {"Cork", "County Cork", "T12 X70A", "Ireland"},
    {"Edinburgh", "Midlothian", "EH1 1YZ", "United Kingdom"},
}};

inline constexpr std::array<const char *, 8> Streets{
    "High Street",   "Mill Lane",     "Station Road", "Harbour Way",
    "Church Street", "Market Square", "Kingsway",     "Orchard Row"};

} // namespace quorvale::admin::demo
