// The channel properties of IPelmoraX (flag, unit, sensor id, name and range
// of channels A to H), forwarded to the hosted TPelmora.
#include "activex/ForwardHelpers.h"
#include "activex/PelmoraImpl.h"

namespace pel::com {

using fwd::Call;
using fwd::Get;

// Channel A.
HRESULT TPelmoraX::get_CHA(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHA(); }); }
HRESULT TPelmoraX::put_CHA(VARIANT_BOOL v) { return Call([&] { D()->CHA(FromBool(v)); }); }
HRESULT TPelmoraX::get_CHAUnit(BSTR* v) { return Get(v, [&] { return D()->CHAUnit(); }); }
HRESULT TPelmoraX::put_CHAUnit(BSTR v) { return Call([&] { D()->CHAUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHAID(LONG* v) { return Get(v, [&] { return D()->CHAID(); }); }
HRESULT TPelmoraX::get_CHAName(BSTR* v) { return Get(v, [&] { return D()->CHAName(); }); }
HRESULT TPelmoraX::put_CHAName(BSTR v) { return Call([&] { D()->CHAName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeA(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeA(); }); }

// Channel B.
HRESULT TPelmoraX::get_CHB(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHB(); }); }
HRESULT TPelmoraX::put_CHB(VARIANT_BOOL v) { return Call([&] { D()->CHB(FromBool(v)); }); }
HRESULT TPelmoraX::get_CHBUnit(BSTR* v) { return Get(v, [&] { return D()->CHBUnit(); }); }
HRESULT TPelmoraX::put_CHBUnit(BSTR v) { return Call([&] { D()->CHBUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHBID(LONG* v) { return Get(v, [&] { return D()->CHBID(); }); }
HRESULT TPelmoraX::get_CHBName(BSTR* v) { return Get(v, [&] { return D()->CHBName(); }); }
HRESULT TPelmoraX::put_CHBName(BSTR v) { return Call([&] { D()->CHBName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeB(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeB(); }); }

// Channel C.
HRESULT TPelmoraX::get_CHC(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHC(); }); }
HRESULT TPelmoraX::put_CHC(VARIANT_BOOL v) { return Call([&] { D()->CHC(FromBool(v)); }); }
HRESULT TPelmoraX::get_CHCUnit(BSTR* v) { return Get(v, [&] { return D()->CHCUnit(); }); }
HRESULT TPelmoraX::put_CHCUnit(BSTR v) { return Call([&] { D()->CHCUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHCID(LONG* v) { return Get(v, [&] { return D()->CHCID(); }); }
HRESULT TPelmoraX::get_CHCName(BSTR* v) { return Get(v, [&] { return D()->CHCName(); }); }
HRESULT TPelmoraX::put_CHCName(BSTR v) { return Call([&] { D()->CHCName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeC(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeC(); }); }

// Channel D.
HRESULT TPelmoraX::get_CHD(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHD(); }); }
HRESULT TPelmoraX::put_CHD(VARIANT_BOOL v) { return Call([&] { D()->CHD(FromBool(v)); }); }
HRESULT TPelmoraX::get_CHDUnit(BSTR* v) { return Get(v, [&] { return D()->CHDUnit(); }); }
HRESULT TPelmoraX::put_CHDUnit(BSTR v) { return Call([&] { D()->CHDUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHDID(LONG* v) { return Get(v, [&] { return D()->CHDID(); }); }
HRESULT TPelmoraX::get_CHDName(BSTR* v) { return Get(v, [&] { return D()->CHDName(); }); }
HRESULT TPelmoraX::put_CHDName(BSTR v) { return Call([&] { D()->CHDName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeD(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeD(); }); }

// Channel E: the active flag is read only.
HRESULT TPelmoraX::get_CHE(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHE(); }); }
HRESULT TPelmoraX::get_CHEUnit(BSTR* v) { return Get(v, [&] { return D()->CHEUnit(); }); }
HRESULT TPelmoraX::put_CHEUnit(BSTR v) { return Call([&] { D()->CHEUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHEID(LONG* v) { return Get(v, [&] { return D()->CHEID(); }); }
HRESULT TPelmoraX::get_CHEName(BSTR* v) { return Get(v, [&] { return D()->CHEName(); }); }
HRESULT TPelmoraX::put_CHEName(BSTR v) { return Call([&] { D()->CHEName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeE(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeE(); }); }

// Channel F: the active flag is read only.
HRESULT TPelmoraX::get_CHF(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHF(); }); }
HRESULT TPelmoraX::get_CHFUnit(BSTR* v) { return Get(v, [&] { return D()->CHFUnit(); }); }
HRESULT TPelmoraX::put_CHFUnit(BSTR v) { return Call([&] { D()->CHFUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHFID(LONG* v) { return Get(v, [&] { return D()->CHFID(); }); }
HRESULT TPelmoraX::get_CHFName(BSTR* v) { return Get(v, [&] { return D()->CHFName(); }); }
HRESULT TPelmoraX::put_CHFName(BSTR v) { return Call([&] { D()->CHFName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeF(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeF(); }); }

// Channel G: the active flag is read only.
HRESULT TPelmoraX::get_CHG(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHG(); }); }
HRESULT TPelmoraX::get_CHGUnit(BSTR* v) { return Get(v, [&] { return D()->CHGUnit(); }); }
HRESULT TPelmoraX::put_CHGUnit(BSTR v) { return Call([&] { D()->CHGUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHGID(LONG* v) { return Get(v, [&] { return D()->CHGID(); }); }
HRESULT TPelmoraX::get_CHGName(BSTR* v) { return Get(v, [&] { return D()->CHGName(); }); }
HRESULT TPelmoraX::put_CHGName(BSTR v) { return Call([&] { D()->CHGName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeG(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeG(); }); }

// Channel H: the active flag is read only.
HRESULT TPelmoraX::get_CHH(VARIANT_BOOL* v) { return Get(v, [&] { return D()->CHH(); }); }
HRESULT TPelmoraX::get_CHHUnit(BSTR* v) { return Get(v, [&] { return D()->CHHUnit(); }); }
HRESULT TPelmoraX::put_CHHUnit(BSTR v) { return Call([&] { D()->CHHUnit(FromBstr(v)); }); }
HRESULT TPelmoraX::get_CHHID(LONG* v) { return Get(v, [&] { return D()->CHHID(); }); }
HRESULT TPelmoraX::get_CHHName(BSTR* v) { return Get(v, [&] { return D()->CHHName(); }); }
HRESULT TPelmoraX::put_CHHName(BSTR v) { return Call([&] { D()->CHHName(FromBstr(v)); }); }
HRESULT TPelmoraX::get_SensorRangeH(TxSensorRangeType* v) { return Get(v, [&] { return D()->SensorRangeH(); }); }

}  // namespace pel::com
