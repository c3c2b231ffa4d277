// The protocol headers of the exported interface.
#pragma once
