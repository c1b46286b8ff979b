// B-V colour indexes of the Sun, the Moon, the planets and their major
// satellites, for object records and the visibility code.
#pragma once

// B-V of body 0-11 (0 Sun ... 9 Pluto, 10 Moon, 11 Earth's shadow) or of its
// satellite number satellite (0 = the body itself; a satellite without a
// value of its own gets the planet's). 99.9 for the Earth, the Earth's shadow
// and any other body.
double SolarSystemColorIndex(int body, int satellite);
