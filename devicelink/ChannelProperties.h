#pragma once
// The published per-channel properties of the component (CHA to CHH with
// their units, IDs and names, SensorRangeA to SensorRangeH), forwarded to the
// component's channel rules.
#include <string>

#include "devicelink/PelmoraTypes.h"

namespace pel::link {

template <class Link>
class ChannelProperties {
 public:
  bool CHA() const { return L().ChannelFlagAt(0); }
  bool CHB() const { return L().ChannelFlagAt(1); }
  bool CHC() const { return L().ChannelFlagAt(2); }
  bool CHD() const { return L().ChannelFlagAt(3); }
  void CHA(bool v) { L().SetChannelFlagAt(0, v); }
  void CHB(bool v) { L().SetChannelFlagAt(1, v); }
  void CHC(bool v) { L().SetChannelFlagAt(2, v); }
  void CHD(bool v) { L().SetChannelFlagAt(3, v); }
  bool CHE() const { return L().ChannelFlagAt(4); }
  bool CHF() const { return L().ChannelFlagAt(5); }
  bool CHG() const { return L().ChannelFlagAt(6); }
  bool CHH() const { return L().ChannelFlagAt(7); }
  std::string CHAUnit() const { return L().ChannelUnitAt(0); }
  std::string CHBUnit() const { return L().ChannelUnitAt(1); }
  std::string CHCUnit() const { return L().ChannelUnitAt(2); }
  std::string CHDUnit() const { return L().ChannelUnitAt(3); }
  std::string CHEUnit() const { return L().ChannelUnitAt(4); }
  std::string CHFUnit() const { return L().ChannelUnitAt(5); }
  std::string CHGUnit() const { return L().ChannelUnitAt(6); }
  std::string CHHUnit() const { return L().ChannelUnitAt(7); }
  void CHAUnit(const std::string& v) { Link::State().sensors.ch[0].unit = v; }
  void CHBUnit(const std::string& v) { Link::State().sensors.ch[1].unit = v; }
  void CHCUnit(const std::string& v) { Link::State().sensors.ch[2].unit = v; }
  void CHDUnit(const std::string& v) { Link::State().sensors.ch[3].unit = v; }
  void CHEUnit(const std::string& v) { Link::State().sensors.ch[4].unit = v; }
  void CHFUnit(const std::string& v) { Link::State().sensors.ch[5].unit = v; }
  void CHGUnit(const std::string& v) { Link::State().sensors.ch[6].unit = v; }
  void CHHUnit(const std::string& v) { Link::State().sensors.ch[7].unit = v; }
  int CHAID() const { return L().ChannelIDAt(0); }
  int CHBID() const { return L().ChannelIDAt(1); }
  int CHCID() const { return L().ChannelIDAt(2); }
  int CHDID() const { return L().ChannelIDAt(3); }
  int CHEID() const { return L().ChannelIDAt(4); }
  int CHFID() const { return L().ChannelIDAt(5); }
  int CHGID() const { return L().ChannelIDAt(6); }
  int CHHID() const { return L().ChannelIDAt(7); }
  std::string CHAName() const { return L().ChannelNameAt(0); }
  std::string CHBName() const { return L().ChannelNameAt(1); }
  std::string CHCName() const { return L().ChannelNameAt(2); }
  std::string CHDName() const { return L().ChannelNameAt(3); }
  std::string CHEName() const { return L().ChannelNameAt(4); }
  std::string CHFName() const { return L().ChannelNameAt(5); }
  std::string CHGName() const { return L().ChannelNameAt(6); }
  std::string CHHName() const { return L().ChannelNameAt(7); }
  void CHAName(const std::string& v) { Link::State().sensors.ch[0].name = v; }
  void CHBName(const std::string& v) { Link::State().sensors.ch[1].name = v; }
  void CHCName(const std::string& v) { Link::State().sensors.ch[2].name = v; }
  void CHDName(const std::string& v) { Link::State().sensors.ch[3].name = v; }
  void CHEName(const std::string& v) { Link::State().sensors.ch[4].name = v; }
  void CHFName(const std::string& v) { Link::State().sensors.ch[5].name = v; }
  void CHGName(const std::string& v) { Link::State().sensors.ch[6].name = v; }
  void CHHName(const std::string& v) { Link::State().sensors.ch[7].name = v; }
  SensorRangeType SensorRangeA() const { return L().SensorRangeAt(0); }
  SensorRangeType SensorRangeB() const { return L().SensorRangeAt(1); }
  SensorRangeType SensorRangeC() const { return L().SensorRangeAt(2); }
  SensorRangeType SensorRangeD() const { return L().SensorRangeAt(3); }
  SensorRangeType SensorRangeE() const { return L().SensorRangeAt(4); }
  SensorRangeType SensorRangeF() const { return L().SensorRangeAt(5); }
  SensorRangeType SensorRangeG() const { return L().SensorRangeAt(6); }
  SensorRangeType SensorRangeH() const { return L().SensorRangeAt(7); }

 private:
  const Link& L() const { return static_cast<const Link&>(*this); }
  Link& L() { return static_cast<Link&>(*this); }
};

}  // namespace pel::link
