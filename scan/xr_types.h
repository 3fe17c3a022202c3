// Types shared by the gradient control and its users.
#pragma once

enum TXrGradientStyle { grFilled, grEllipse, grHorizontal, grVertical, grPyramid, grMount };
