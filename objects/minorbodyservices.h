// Hands the object layer's services down to the minor-body databases, which
// stand on a lower floor: the name matching of the name searches and the
// constellation test of the field searches.
#pragma once

void ConnectMinorBodyServices();
