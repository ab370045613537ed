"""Type stubs of the rrscope module (heart rate variability from ECG)."""

from typing import Any, Literal, Optional, Sequence, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

DETECTED: int
MOVED: int
INSERTED: int

ArrayLike = Union[npt.NDArray[np.floating[Any]], npt.NDArray[np.integer[Any]], Sequence[float]]

class Recording:
    """One channel of a recording, in physical units."""

    @property
    def samples(self) -> npt.NDArray[np.float64]: ...
    rate_hz: float
    channel: str
    units: str
    file: str
    @property
    def invalid(self) -> npt.NDArray[np.int64]: ...
    warnings: list[str]

class Annotations:
    """The beats of an annotation file."""

    @property
    def samples(self) -> npt.NDArray[np.int64]: ...
    labels: list[str]
    time_resolution_hz: Optional[float]

class Correction:
    """The beats after the artefact correction."""

    beats: npt.NDArray[np.float64]
    counts: dict[str, int]
    sources: npt.NDArray[np.int8]
    removed: npt.NDArray[np.float64]

def read_recording(path: str, signal: Union[int, str, None] = None) -> Recording: ...
def read_annotations(path: str) -> Annotations: ...
@overload
def detect_beats(
    samples: ArrayLike, rate_hz: float, *, leads: Optional[Sequence[ArrayLike]] = None, quality: bool = False
) -> npt.NDArray[np.float64]: ...
@overload
def detect_beats(
    samples: ArrayLike, rate_hz: float, *, leads: Optional[Sequence[ArrayLike]] = None, quality: bool = True
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def correct_artefacts(beats: ArrayLike, rate_hz: float, samples: Optional[ArrayLike] = None) -> Correction: ...
def classify_beats(samples: ArrayLike, rate_hz: float, beats: ArrayLike) -> str:
    """One letter per beat: N, S, V, F or Q (the EC57 classes)."""
    ...

def nn_intervals(
    beats: ArrayLike,
    rate_hz: float,
    unreadable: Optional[npt.ArrayLike] = None,
    *,
    classes: Optional[str] = None,
    ectopic: Literal["exclude", "interpolate"] = "exclude",
) -> npt.NDArray[np.float64]: ...
@overload
def hrv(
    intervals_ms: ArrayLike, detrend: Optional[str] = None, windows: None = None, *, lambda_: float = 500.0
) -> dict[str, Any]: ...
@overload
def hrv(
    intervals_ms: ArrayLike, detrend: Optional[str], windows: Tuple[float, float], *, lambda_: float = 500.0
) -> list[dict[str, Any]]: ...
def score_beats(
    detected: ArrayLike, reference: ArrayLike, rate_hz: float, window_ms: float = 150.0
) -> dict[str, float]: ...
